// The memory and drive-size section: the lines against the library's own figures, the
// branch on drive C, and a library that lacks every export the section calls.
#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include "clock.h"
#include "conversions.h"
#include "library.h"
#include "qorbind.h"
#include "recording_host.h"
#include "section_rig.h"
#include "sections.h"

namespace {

class WindowsApiSection : public ::testing::Test {
  protected:
    WindowsApiSection() {
        rt::setClock(&clock_);
        run.startTime = 100.0f;
        mapDriveC(dir_.path());
    }
    ~WindowsApiSection() override {
        rt::setClock(nullptr);
        qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    }
    static void mapDriveC(const QString &dir) {
        qputenv("QORLIB_DRIVES", "C=" + QFile::encodeName(dir));
    }
    QStringList lines() const { return host.reportLines(); }

    QTemporaryDir dir_;
    // Restores the caller's map; the tests change it at will.
    section_rig::ScopedEnv drives_{"QORLIB_DRIVES", QByteArray()};
    section_rig::FixedClock clock_;
    testing_support::RecordingHost host;
    suite::Run run{host};
};

const QString TIMING = QStringLiteral(" Execution (12) took 0.25 seconds");

// The ten memory lines in order: label and unit.
struct MemoryLine {
    const char *label;
    const char *unit;
};
const MemoryLine MEMORY_LINES[] = {
    {"GetTotalPhysicalMemory()=", " Kb"},     {"GetAvailablePhysicalMemory()=", " Kb"},
    {"GetTotalVirtualMemory()=", " Kb"},      {"GetAvailableVirtualMemory()=", " Kb"},
    {"GetTotalSwapfileMemory()=", " Kb"},     {"GetTotalSwapfileMemory()=", " Mb"},
    {"GetTotalSwapfileMemory()=", " Gb"},     {"GetAvailableSwapfileMemory()=", " Kb"},
    {"GetAvailableSwapfileMemory()=", " Mb"}, {"GetAvailableSwapfileMemory()=", " Gb"},
};

TEST_F(WindowsApiSection, PrintsMemoryThenDriveC) {
    suite::WindowsApi(run);
    const QStringList got = lines();
    ASSERT_EQ(got.size(), 2 + 10 + 3 + 4) << host.report.toStdString();
    EXPECT_EQ(got[0], QStringLiteral("Windows API Tests ") + QString(100, u'-'));
    EXPECT_EQ(got[1],
              QStringLiteral("Testing memory functions - may return -ve values over 4Gb..."));
    for (int i = 0; i < 10; ++i) {
        const QRegularExpression shape(
            QStringLiteral("^%1-?[0-9]{1,3}(,[0-9]{3})*(\\.[0-9]+)?%2$")
                .arg(QRegularExpression::escape(QString::fromLatin1(MEMORY_LINES[i].label)),
                     QRegularExpression::escape(QString::fromLatin1(MEMORY_LINES[i].unit))));
        EXPECT_TRUE(shape.match(got[2 + i]).hasMatch()) << got[2 + i].toStdString();
    }
    // Figures that do not move: the scale and the decimals of each line, exactly.
    const double physical = qor::GetTotalPhysicalMemory();
    const double virtualTotal = qor::GetTotalVirtualMemory();
    const double swap = qor::GetTotalSwapfileMemory();
    EXPECT_EQ(got[2], "GetTotalPhysicalMemory()=" + qor::Comma(physical / 1024, 0) + " Kb");
    EXPECT_EQ(got[4], "GetTotalVirtualMemory()=" + qor::Comma(virtualTotal / 1024, 0) + " Kb");
    EXPECT_EQ(got[6], "GetTotalSwapfileMemory()=" + qor::Comma(swap / 1024, 0) + " Kb");
    EXPECT_EQ(got[7], "GetTotalSwapfileMemory()=" + qor::Comma(swap / 1048576, 2) + " Mb");
    EXPECT_EQ(got[8], "GetTotalSwapfileMemory()=" + qor::Comma(swap / 1073741824, 3) + " Gb");

    struct statvfs fs {};
    ASSERT_EQ(statvfs(QFile::encodeName(dir_.path()).constData(), &fs), 0);
    const auto total = static_cast<qint64>(fs.f_blocks) * static_cast<qint64>(fs.f_frsize);
    EXPECT_EQ(got[12], QStringLiteral("GetDiskSize(c)=%1").arg(total));
    EXPECT_EQ(got[13], QStringLiteral("GetDiskSizeMb(c)=%1").arg(total / 1048576));
    EXPECT_EQ(got[14], "GetDiskSizeGb(c)=" + rt::textOf(static_cast<double>(total) / 1073741824));
    EXPECT_EQ(got.mid(15), QStringList({TIMING, QString(), QString(), QString()}));
    EXPECT_EQ(run.errorCount(), 0);
}

TEST_F(WindowsApiSection, WithoutDriveCGoesFromSwapToTiming) {
    qputenv("QORLIB_DRIVES", "D=" + QFile::encodeName(dir_.path()));
    suite::WindowsApi(run);
    const QStringList got = lines();
    ASSERT_EQ(got.size(), 2 + 10 + 4);
    EXPECT_TRUE(got[11].startsWith(QStringLiteral("GetAvailableSwapfileMemory()=")));
    EXPECT_EQ(got.mid(12), QStringList({TIMING, QString(), QString(), QString()}));
}

TEST_F(WindowsApiSection, MissingExportsAreReportedAndTheDiskBranchIsTaken) {
    // This fake exports none of the section's functions: each memory line becomes an error
    // line, and the failed test of drive C counts as true, so the disk lines are tried.
    qorbind::Library::instance().setPath(QStringLiteral(FAKES_DIR "/libfake_no_memory_info.so"));
    suite::WindowsApi(run);
    const QString file = QStringLiteral("libfake_no_memory_info.so");
    auto missing = [&](const char *name) {
        return QStringLiteral(
                   "Error 453 ocurred (Can't find DLL entry point %1 in %2) - this "
                   "error may be normal during some tests")
            .arg(QString::fromLatin1(name), file);
    };
    QStringList expected = {QStringLiteral("Windows API Tests ") + QString(100, u'-'),
                            QStringLiteral("Testing memory functions - may return -ve values "
                                           "over 4Gb...")};
    for (const char *name :
         {"GetTotalPhysicalMemory", "GetAvailablePhysicalMemory", "GetTotalVirtualMemory",
          "GetAvailableVirtualMemory", "GetTotalSwapfileMemory", "GetTotalSwapfileMemory",
          "GetTotalSwapfileMemory", "GetAvailableSwapfileMemory", "GetAvailableSwapfileMemory",
          "GetAvailableSwapfileMemory", "IsValidDisk", "GetDiskSize", "GetDiskSizeMb",
          "GetDiskSizeGb"})
        expected << missing(name);
    expected << TIMING << QString() << QString() << QString();
    EXPECT_EQ(lines(), expected);
    EXPECT_EQ(host.boxes.size(), 14);
}

}  // namespace
