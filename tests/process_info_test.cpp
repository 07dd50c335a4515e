// The process info section: the real figures, a library that cannot read the memory of
// a process, and figures that are negative or need the megabyte pattern.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include "clock.h"
#include "conversions.h"
#include "library.h"
#include "recording_host.h"
#include "section_rig.h"
#include "sections.h"

namespace {

class ProcessInfoSection : public ::testing::Test {
  protected:
    ProcessInfoSection() {
        rt::setClock(&clock_);
        run.startTime = 100.0f;
    }
    ~ProcessInfoSection() override {
        rt::setClock(nullptr);
        qunsetenv("FAKE_PROCESS_MEMORY");
        qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    }
    // Runs the section against the fake that hands out a fresh id on every call, and
    // returns the report lines with the first id it handed out.
    QStringList runOnFake(int &firstId) {
        qorbind::Library::instance().setPath(
            QStringLiteral(FAKES_DIR "/libfake_no_memory_info.so"));
        suite::ProcessInfo(run);
        const QStringList got = host.reportLines();
        const QString lead = QStringLiteral("The process ID of this test-application is: ");
        firstId = got.size() > 1 && got[1].startsWith(lead) ? got[1].mid(lead.size()).toInt() : 0;
        return got;
    }

    section_rig::FixedClock clock_;
    testing_support::RecordingHost host;
    suite::Run run{host};
};

const QString BANNER = QStringLiteral("Process Info Tests ") + QString(100, u'-');
const QString TIMING = QStringLiteral(" Execution (FINAL) took 0.25 seconds");
const QString USED = QStringLiteral("Memory used by this process is: ");

TEST_F(ProcessInfoSection, RealLibraryShowsThisProcess) {
    suite::ProcessInfo(run);
    const QStringList got = host.reportLines();
    ASSERT_EQ(got.size(), 8) << host.report.toStdString();
    EXPECT_EQ(got[0], BANNER);
    EXPECT_EQ(got[1], QStringLiteral("The process ID of this test-application is: %1")
                          .arg(QCoreApplication::applicationPid()));
    const QRegularExpression bytes(
        QStringLiteral("^Memory used by this process is: ([0-9]+) bytes$"));
    const auto match = bytes.match(got[2]);
    ASSERT_TRUE(match.hasMatch()) << got[2].toStdString();
    const double figure = match.captured(1).toDouble();
    EXPECT_GT(figure, 0);
    EXPECT_EQ(got[3], USED + rt::textOf(figure / 1024) + QStringLiteral(" Kb"));
    EXPECT_EQ(got[4], USED + rt::formatNumber(figure / 1048576, u"0#.###") + QStringLiteral(" Mb"));
    EXPECT_EQ(got.mid(5), QStringList({TIMING, QString(), QString()}));
}

TEST_F(ProcessInfoSection, UnreadableMemoryGivesOneNoticeWithAFreshId) {
    int first = 0;
    const QStringList got = runOnFake(first);
    ASSERT_GT(first, 0);
    // The second id went to GetProcessMemoryUsed; the notice shows a third.
    EXPECT_EQ(
        got,
        QStringList(
            {BANNER, QStringLiteral("The process ID of this test-application is: %1").arg(first),
             QStringLiteral("Couldn't retrieve memory info for this process (%1)").arg(first + 2),
             TIMING, QString(), QString()}));
}

TEST_F(ProcessInfoSection, FiguresOtherThanMinusOneArePrinted) {
    struct Case {
        const char *figure;
        const char *bytes;
        const char *kb;
        double mb;
    } cases[] = {
        {"5244416", "5244416", "5121.5", 5244416.0 / 1048576},
        {"-5", "-5", "-0.0048828125", -5.0 / 1048576},
        {"-2", "-2", "-0.001953125", -2.0 / 1048576},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.figure);
        host.report.clear();
        qputenv("FAKE_PROCESS_MEMORY", c.figure);
        int first = 0;
        const QStringList got = runOnFake(first);
        ASSERT_GT(first, 0);
        EXPECT_EQ(got,
                  QStringList(
                      {BANNER,
                       QStringLiteral("The process ID of this test-application is: %1").arg(first),
                       USED + QString::fromLatin1(c.bytes) + QStringLiteral(" bytes"),
                       USED + QString::fromLatin1(c.kb) + QStringLiteral(" Kb"),
                       USED + rt::formatNumber(c.mb, u"0#.###") + QStringLiteral(" Mb"), TIMING,
                       QString(), QString()}));
    }
}

}  // namespace
