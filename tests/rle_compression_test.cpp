// The compression section: the summary against the real library, every mismatch and the
// counts with a library that spoils a few texts, and a library that never packs.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>

#include "clock.h"
#include "conversions.h"
#include "library.h"
#include "recording_host.h"
#include "section_rig.h"
#include "sections.h"

namespace {

class RleSection : public ::testing::Test {
  protected:
    RleSection() {
        rt::setClock(&clock_);
        run.startTime = 100.0f;
    }
    ~RleSection() override {
        rt::setClock(nullptr);
        qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    }
    static void useFake(const char *name) {
        qorbind::Library::instance().setPath(
            QStringLiteral(FAKES_DIR "/libfake_%1.so").arg(QString::fromLatin1(name)));
    }
    QStringList lines() const { return host.reportLines(); }

    section_rig::FixedClock clock_;
    testing_support::RecordingHost host;
    suite::Run run{host};
};

const QString BANNER = QStringLiteral("RLE Compression Tests ") + QString(100, u'-');
const QString TIMING = QStringLiteral(" Execution (13) took 0.25 seconds");

TEST_F(RleSection, RealLibraryPacksEveryTextIntact) {
    suite::RleCompression(run);
    const QStringList got = lines();
    ASSERT_EQ(got.size(), 7) << host.report.left(2000).toStdString();
    EXPECT_EQ(got[0], BANNER);
    EXPECT_EQ(got[1], QStringLiteral("RLE Test Done - 10000 of 10000 strings were compressed"));
    // Texts of letters in runs: the best of 10,000 saves a good share of its bytes.
    const QRegularExpression gain(
        QStringLiteral(R"(^Max gain was ([0-9]+) byte\(s\) of 1000 byte\(s\) \(([0-9.]+)%\)$)"));
    const auto match = gain.match(got[2]);
    ASSERT_TRUE(match.hasMatch()) << got[2].toStdString();
    const int best = match.captured(1).toInt();
    EXPECT_GT(best, 300);
    EXPECT_LT(best, 1000);
    EXPECT_EQ(match.captured(2), rt::textOf(static_cast<float>(best) / 1000.0f * 100.0f));
    EXPECT_EQ(got.mid(3), QStringList({QStringLiteral("All compresion tests passed OK"), TIMING,
                                       QString(), QString()}));
    EXPECT_EQ(run.errorCount(), 0);
}

TEST_F(RleSection, SpoiledTextsArePrintedAndCounted) {
    useFake("rle_corrupt");
    suite::RleCompression(run);
    auto text = [](int n) { return QString::number(n).leftJustified(1000, u'x'); };
    QString spoiled17 = text(17);
    spoiled17[499] = u'y';
    QString spoiled4242 = text(4242);
    spoiled4242[999] = u'X';                        // differs only in letter case
    const QString spoiled9999 = text(9999) + u'x';  // differs only by a trailing character
    const QString failed = QStringLiteral("* RLE Compression FAILED*");
    const QStringList expected = {
        BANNER, failed, u'[' + text(17) + u']', u'[' + spoiled17 + u']', failed,
        u'[' + text(4242) + u']', u'[' + spoiled4242 + u']',
        // Text 5001 reports a packed length of 40000: a saving of -39000 does not fit, and
        // the binding refuses to let the library read 40000 bytes of a 1000-byte text. The
        // comparison then sees the unpacked text of the last packed pass, 4999.
        QStringLiteral("Error 6 ocurred (Overflow) - this error may be normal during some tests"),
        QStringLiteral("Error 5 ocurred (Invalid procedure call or argument) - this error may "
                       "be normal during some tests"),
        failed, u'[' + text(5001) + u']', u'[' + text(4999) + u']', failed,
        u'[' + text(9999) + u']', u'[' + spoiled9999 + u']',
        // Ten texts were not packed (every thousandth), four came back changed.
        QStringLiteral("RLE Test Done - 9986 of 10000 strings were compressed"),
        QStringLiteral("Max gain was 37 byte(s) of 1000 byte(s) (3.7%)"),
        QStringLiteral("4 tests *FAILED*"), TIMING, QString(), QString()};
    EXPECT_EQ(lines(), expected);
    EXPECT_EQ(host.boxes.size(), 2);
}

TEST_F(RleSection, LibraryThatNeverPacks) {
    useFake("rle_never");
    suite::RleCompression(run);
    EXPECT_EQ(
        lines(),
        QStringList({BANNER, QStringLiteral("RLE Test Done - 0 of 10000 strings were compressed"),
                     QStringLiteral("Max gain was 0 byte(s) of 1000 byte(s) (0%)"),
                     QStringLiteral("All compresion tests passed OK"), TIMING, QString(),
                     QString()}));
    EXPECT_EQ(run.errorCount(), 0);
}

TEST_F(RleSection, MissingRandomTextIsReportedOncePerPass) {
    // A library with none of the section's exports: every pass reports its failures and
    // goes on; nothing is counted.
    useFake("no_memory_info");
    suite::RleCompression(run);
    const QStringList got = lines();
    ASSERT_GE(got.size(), 3);
    const QString file = QStringLiteral("libfake_no_memory_info.so");
    auto missing = [&](const char *name) {
        return QStringLiteral(
                   "Error 453 ocurred (Can't find DLL entry point %1 in %2) - this "
                   "error may be normal during some tests")
            .arg(QString::fromLatin1(name), file);
    };
    // RandomStr and RLECompress fail; the packed length stays 0, so each pass ends there.
    EXPECT_EQ(got[1], missing("RandomStr"));
    EXPECT_EQ(got[2], missing("RLECompress"));
    EXPECT_EQ(got.size(), 1 + 2 * 10000 + 6);
    EXPECT_EQ(got.mid(1 + 2 * 10000),
              QStringList({QStringLiteral("RLE Test Done - 0 of 10000 strings were compressed"),
                           QStringLiteral("Max gain was 0 byte(s) of 1000 byte(s) (0%)"),
                           QStringLiteral("All compresion tests passed OK"), TIMING, QString(),
                           QString()}));
}

}  // namespace
