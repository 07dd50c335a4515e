// The disk space section against a drive map of test folders: the wildcard question, the
// free space of C and D through Comma, the impossible drive, and the three lines after the
// timing line.
#include <QRegularExpression>
#include <QStorageInfo>

#include "section_rig.h"
#include "sections.h"

namespace {

using namespace section_rig;

struct DiskCase {
    const char *name;
    const char *tempFile;  // created in c/temp when set
    bool driveD;           // D mapped to a folder of its own
    const char *existsLine;
};

void PrintTo(const DiskCase &c, std::ostream *os) {
    *os << c.name;
}

class DiskSpace : public SectionTest, public ::testing::WithParamInterface<DiskCase> {
  protected:
    QString folder(const char *name) const {
        return root_.path() + u'/' + QString::fromLatin1(name);
    }

    // The free bytes a "Drive X: " line shows, checked for its grouping and decimals.
    static double shownFree(const QString &line, const QString &label) {
        static const QRegularExpression grouped(QStringLiteral("^(\\d{1,3}(?:,\\d{3})*)\\.000$"));
        EXPECT_TRUE(line.startsWith(label)) << line.toStdString();
        const auto match = grouped.match(line.mid(label.size()));
        EXPECT_TRUE(match.hasMatch()) << line.toStdString();
        return match.captured(1).remove(u',').toDouble();
    }
};

TEST_P(DiskSpace, ReportLines) {
    const DiskCase &c = GetParam();
    QDir(root_.path()).mkpath(QStringLiteral("c/temp"));
    QDir(root_.path()).mkpath(QStringLiteral("d"));
    if (c.tempFile)
        writeOnC(QStringLiteral("temp/") + QString::fromLatin1(c.tempFile), "x");
    QByteArray map = "C=" + QFile::encodeName(folder("c"));
    if (c.driveD)
        map += ";D=" + QFile::encodeName(folder("d"));
    ScopedEnv drives("QORLIB_DRIVES", map);

    suite::DiskSpace(run);
    const QStringList lines = reportLines();
    ASSERT_EQ(lines.size(), 14) << host.report.toStdString();
    const QStringList head{
        QString(), banner("Disk Space Tests "), QStringLiteral("Test file exists function..."),
        QString::fromLatin1(c.existsLine), QStringLiteral("Test Free disk space functions ...")};
    EXPECT_EQ(lines.mid(0, 5), head);

    // The free space moves with whatever else writes to the disk: compare loosely.
    const double tolerance = 256.0 * 1024 * 1024;
    const double freeC = QStorageInfo(folder("c")).bytesAvailable();
    EXPECT_NEAR(shownFree(lines[5], QStringLiteral("Drive C: ")), freeC, tolerance);
    if (c.driveD)
        EXPECT_NEAR(shownFree(lines[6], QStringLiteral("Drive D: ")), freeC, tolerance);
    else
        EXPECT_EQ(lines[6], QStringLiteral("Drive D: -1.000"));

    const QStringList tail{
        QStringLiteral("Drive &: -1 (should be ERR -1 - no such disk &: )"),
        timingLines("6")[0],
        QString(),
        QStringLiteral("008AD435"),
        QStringLiteral("4294967294"),
        QStringLiteral("FFFFFFFE"),
        QString(),
    };
    EXPECT_EQ(lines.mid(7), tail);
    EXPECT_EQ(run.errorCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Drives, DiskSpace,
    ::testing::Values(
        DiskCase{"TmpFileNoD", "a.tmp", false, "Do file(s) c:\\temp\\*.tmp exist? [True]"},
        DiskCase{"UpperCaseTmpWithD", "B.TMP", true, "Do file(s) c:\\temp\\*.tmp exist? [True]"},
        DiskCase{"OtherFileOnly", "a.txt", true, "Do file(s) c:\\temp\\*.tmp exist? [False]"},
        DiskCase{"EmptyTemp", nullptr, false, "Do file(s) c:\\temp\\*.tmp exist? [False]"}),
    [](const auto &info) { return std::string(info.param.name); });

class DiskSpaceFrame : public SectionTest {};

TEST_F(DiskSpaceFrame, WithoutTheLibraryEveryCallFailsAlone) {
    qorbind::Library::instance().setPath(QStringLiteral("/nonexistent/libqorlib145.so"));
    suite::DiskSpace(run);
    // FileExists, the three drives and the three lines after the timing line.
    EXPECT_EQ(run.errorCount(), 7);
    QStringList lines = reportLines();
    lines.removeIf([](const QString &l) { return l.startsWith(QStringLiteral("Error 53 ")); });
    const QStringList expected{QString(),
                               banner("Disk Space Tests "),
                               QStringLiteral("Test file exists function..."),
                               QStringLiteral("Test Free disk space functions ..."),
                               timingLines("6")[0],
                               QString(),
                               QString()};
    EXPECT_EQ(lines, expected);
}

}  // namespace
