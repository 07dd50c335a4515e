// The shell's routines without a window: the version text, the start-up check against fake
// libraries, the caption, the run loops, the frame against a library with nothing but a
// version, the headless host and the window's measures.
#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "checklibrary.h"
#include "conversions.h"
#include "headless_host.h"
#include "layout.h"
#include "rigerror.h"
#include "run.h"
#include "runloops.h"
#include "shell_fixture.h"
#include "statuscaption.h"

using namespace shell_test;
using rig::RunButton;

Q_DECLARE_METATYPE(rig::RunButton)

namespace {
const QString BASE = QStringLiteral("Zentrak DLL Testbed - (qorlib145.dl) v1.25");
}

class ShellLogicTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH)); }

    // ---- Version text -------------------------------------------------------------------
    void versionText_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("100") << 100 << "1.00";
        QTest::newRow("5") << 5 << "5";
        QTest::newRow("1250 keeps four") << 1250 << "1250";
        QTest::newRow("-12 has three characters") << -12 << "-.12";
        QTest::newRow("-125") << -125 << "-125";
        QTest::newRow("largest 16-bit") << 32767 << "32767";
        QTest::newRow("smallest 16-bit") << -32768 << "-32768";
    }
    void versionText() {
        QFETCH(int, value);
        QFETCH(QString, text);
        QCOMPARE(rig::versionText(value), text);
    }

    // ---- The start-up check against the version fake -----------------------------------
    void checkLibrary_data() {
        QTest::addColumn<QByteArray>("libVersion");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("warning");
        QTest::newRow("125") << QByteArray("125") << "DLL is installed OK and is version 1.25"
                             << true << QString();
        QTest::newRow("130 is newer")
            << QByteArray("130") << "DLL is installed OK and is version 1.30" << true << QString();
        QTest::newRow("124 is older")
            << QByteArray("124")
            << "DLL the wrong version (v1.24) and is not compatible with this test rig (v1.25)"
            << false << QString();
        QTest::newRow("99 sorts after 1.25 as text")
            << QByteArray("99") << "DLL is installed OK and is version 99" << true << QString();
        QTest::newRow("-12")
            << QByteArray("-12")
            << "DLL the wrong version (v-.12) and is not compatible with this test rig (v1.25)"
            << false << QString();
        QTest::newRow("40000 overflows")
            << QByteArray("40000")
            << "DLL the wrong version (v0.00) and is not compatible with this test rig (v1.25)"
            << false << "Error 6 - (Overflow) in DLLVersion()";
        QTest::newRow("1 is a prefix of 1.25, so older")
            << QByteArray("1")
            << "DLL the wrong version (v1) and is not compatible with this "
               "test rig (v1.25)"
            << false << QString();
        QTest::newRow("12 sorts after 1.25 as text")
            << QByteArray("12") << "DLL is installed OK and is version 12" << true << QString();
    }
    void checkLibrary() {
        QFETCH(QByteArray, libVersion);
        QFETCH(QString, verdict);
        QFETCH(bool, accepted);
        QFETCH(QString, warning);
        ScopedEnv version("FAKE_LIBVERSION", libVersion);
        UseLibrary library(fake("version"));
        RecordingEventLog log;
        ShellHost host;
        host.input = QStringLiteral("edited by the user");
        int ended = 0;

        rig::CheckLibrary(host, host, [&] { ++ended; });

        QCOMPARE(ended, 0);
        QCOMPARE(host.input, QStringLiteral("The quick brown fox jumped uber the lazy dog"));
        // The fake has 5 of the functions: the line about them comes in the warning colour
        // whatever the version, and leaves the run buttons as the version set them.
        const QString found = "5 of 82 functions found; a run reports each missing one as an error";
        QCOMPARE(host.out.lines,
                 QStringList(
                     {verdict, found, "Windows Version: FakeOS 5.1 sub-version: Service Pack 3"}));
        const QString verdictColour = accepted ? "color 0" : "color 12";
        const QString verdictBold = accepted ? "bold 0" : "bold 1";
        QStringList expected = {"nopicture", "clear", "color 0", "bold 0", "size 14"};
        if (!accepted)
            expected << verdictColour << verdictBold;
        expected << "print " + verdict << "size 10"
                 << "color 12"
                 << "bold 1"
                 << "print " + found << "size 10"
                 << "color 0"
                 << "bold 0"
                 << "print Windows Version: FakeOS 5.1 sub-version: Service Pack 3";
        QCOMPARE(host.out.events, expected);
        QCOMPARE(host.out.lineColors, QList<int>({accepted ? 0 : 12, 12, 0}));
        const QString state = accepted ? " on" : " off";
        QCOMPARE(host.buttonEvents, QStringList({"cmdOnce" + state, "cmdTenTimes" + state,
                                                 "cmdTest100" + state, "cmdTest1000" + state}));
        QVERIFY(host.boxes.isEmpty());
        if (warning.isEmpty()) {
            QVERIFY(log.entries.isEmpty());
        } else {
            QCOMPARE(log.entries.size(), 1);
            QCOMPARE(log.entries[0].first, warning);
            QVERIFY(log.entries[0].second == rig::EventKind::Warning);
        }
    }

    void missingLibraryEndsAfterTheBox() {
        UseLibrary library(QStringLiteral("/nonexistent/libqorlib145_gone.so"));
        RecordingEventLog log;
        ShellHost host;
        int ended = 0;
        QString boxWhenEnded;
        rig::CheckLibrary(host, host, [&] {
            ++ended;
            boxWhenEnded = host.boxes.value(0);
        });

        QCOMPARE(ended, 1);
        const QString message =
            "Can't find /nonexistent/libqorlib145_gone.so\r\n\r\n"
            "Please install it or download from https://qorlib145.example/download";
        QCOMPARE(host.boxes, QStringList{message});
        QCOMPARE(boxWhenEnded, message);  // the box came first, then the end
        QCOMPARE(log.entries.size(), 1);
        QCOMPARE(log.entries[0].first, QStringLiteral("\r\nError 53 - (File not found: "
                                                      "libqorlib145_gone.so) in IsDLLInstalled"));
        QVERIFY(log.entries[0].second == rig::EventKind::Error);
        QVERIFY(host.buttonEvents.isEmpty());
        QVERIFY(host.out.lines.isEmpty());
    }

    // The box lists the places searched, in their order (the file that is there but does
    // not load is window_exits_xvfb.sh's).
    void missingLibraryMessageListsThePlacesSearched() {
        UseLibrary search{QString()};
        const QString message = rig::missingLibraryMessage(rt::RigError::fileNotFound("x"));
        QVERIFY(
            message.startsWith("Can't find libqorlib145.so or libqorlib145.so.1 in any of "
                               "these places, searched in this order:\r\n"));
        QStringList places = {QCoreApplication::applicationDirPath(), QDir::currentPath(),
                              "the system's library folders"};
        for (const QString &dir : qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts))
            places << dir + " (PATH)";
        qsizetype at = 0;
        for (const QString &place : places)
            QVERIFY2((at = message.indexOf("\r\n    " + place + "\r\n", at)) > 0,
                     qPrintable(place));
        QVERIFY(
            message.endsWith("\r\n\r\nPlease install it or download from "
                             "https://qorlib145.example/download"));
    }

    void libraryWithOnlyAVersionIsAcceptedWithoutWindowsLine() {
        UseLibrary library(fake("bare"));
        RecordingEventLog log;
        ShellHost host;
        rig::CheckLibrary(host, host, [] { QFAIL("ended"); });
        QCOMPARE(
            host.out.lines,
            QStringList({"DLL is installed OK and is version 1.25",
                         "1 of 82 functions found; a run reports each missing one as an error"}));
        QCOMPARE(host.enabled[0] && host.enabled[1] && host.enabled[2] && host.enabled[3], true);
        QVERIFY(log.entries.isEmpty());
    }

    // ---- The caption ----------------------------------------------------------------------
    void emptyCaptionTextCallsNoLibraryFunction() {
        UseLibrary library(fake("version"));
        ShellHost host;
        host.windowCaption = QStringLiteral("something else");
        const int before = qorbind::Library::instance().lookupCount();
        rig::ShowStatusCaption(host, QString());
        QCOMPARE(qorbind::Library::instance().lookupCount(), before);
        QVERIFY(qorbind::Library::instance().loadedPath().isEmpty());
        QCOMPARE(host.windowCaption, BASE);
        // The same call with a text does reach the library.
        rig::ShowStatusCaption(host, QStringLiteral("Loop 1 of 10"));
        QVERIFY(qorbind::Library::instance().lookupCount() > before);
    }

    void captionWithProgress_data() {
        QTest::addColumn<QByteArray>("memory");
        QTest::addColumn<QString>("kilobytes");
        QTest::newRow("whole") << QByteArray("1234944") << "1206";
        QTest::newRow("not rounded") << QByteArray("1234567") << "1205.6318359375";
        QTest::newRow("zero") << QByteArray("0") << "0";
        QTest::newRow("half a kilobyte") << QByteArray("512") << "0.5";
    }
    void captionWithProgress() {
        QFETCH(QByteArray, memory);
        QFETCH(QString, kilobytes);
        ScopedEnv mem("FAKE_MEMORY", memory);
        ScopedEnv pid("FAKE_PID", "7000");
        UseLibrary library(fake("version"));
        ShellHost host;
        rig::ShowStatusCaption(host, QStringLiteral("Loop 3 of 10"));
        static const QRegularExpression shape(
            QStringLiteral("^Zentrak DLL Testbed - \\(qorlib145\\.dl\\) v1\\.25 - Loop 3 of 10 "
                           "\\(process ID:(7\\d\\d\\d)\\) - (.*) Kb used$"));
        const auto match = shape.match(host.windowCaption);
        QVERIFY2(match.hasMatch(), qPrintable(host.windowCaption));
        // The memory figure is the fake's only when the id of the second GetPID was passed.
        QCOMPARE(match.captured(2), kilobytes);
        QCOMPARE(host.captionHistory.size(), 2);
        QCOMPARE(host.captionHistory[0], BASE);
    }

    void captionWithoutProcessFunctionsShowsZeros() {
        UseLibrary library(fake("bare"));
        ShellHost host;
        rig::ShowStatusCaption(host, QStringLiteral("Loop 1 of 1000"));
        QCOMPARE(host.windowCaption, BASE + " - Loop 1 of 1000 (process ID:0) - 0 Kb used");
    }

    // ---- Run buttons and loops ----------------------------------------------------------
    void singleRun() {
        ShellHost host;
        QStringList seen;
        rig::RunController runs(host, host, [&](suite::Host &) {
            seen << host.captions[0] + "|" + QString::number(host.enabled[1]) +
                        QString::number(host.enabled[2]) + QString::number(host.enabled[3]);
            return 2;
        });
        for (bool &on : host.enabled)
            on = true;
        runs.onceClicked();
        QCOMPARE(seen, QStringList{"Testing...|000"});
        QCOMPARE(host.captions[0], QStringLiteral("&Do it!!"));
        QCOMPARE(host.buttonEvents,
                 QStringList({"cmdTenTimes off", "cmdTest100 off", "cmdTest1000 off",
                              "cmdTenTimes on", "cmdTest100 on", "cmdTest1000 on"}));
        QVERIFY(host.report.isEmpty());          // no total line
        QVERIFY(host.captionHistory.isEmpty());  // the window caption is left alone
        QCOMPARE(runs.errorLines(), 2);
        QVERIFY(!runs.running());
    }

    void repeatButtonOrder_data() {
        QTest::addColumn<RunButton>("active");
        QTest::addColumn<QStringList>("others");
        QTest::newRow("x 10") << RunButton::Ten
                              << QStringList({"cmdOnce", "cmdTest100", "cmdTest1000"});
        QTest::newRow("x 100") << RunButton::Hundred
                               << QStringList({"cmdOnce", "cmdTenTimes", "cmdTest1000"});
        QTest::newRow("x 1000") << RunButton::Thousand
                                << QStringList({"cmdOnce", "cmdTenTimes", "cmdTest100"});
    }
    void repeatButtonOrder() {
        QFETCH(RunButton, active);
        QFETCH(QStringList, others);
        UseLibrary library(fake("bare"));
        ShellHost host;
        int passes = 0;
        QString activeCaptionDuringRun;
        rig::RunController runs(host, host, [&](suite::Host &) {
            ++passes;
            activeCaptionDuringRun = host.captions[int(active)];
            return 0;
        });
        runs.repeatClicked(active);
        const int n = rig::RunController::passesOf(active);
        QCOMPARE(passes, n);
        QCOMPARE(activeCaptionDuringRun, QStringLiteral("Testing..."));
        QStringList expected;
        for (const QString &name : others)
            expected << name + " off";
        for (const QString &name : others)
            expected << name + " on";
        QCOMPARE(host.buttonEvents, expected);
        QCOMPARE(host.captions[int(active)], ShellHost().captions[int(active)]);
        // Two caption updates per pass: the base caption, then the progress.
        QCOMPARE(host.captionHistory.size(), 2 * n);
        QVERIFY(host.captionHistory[1].contains(" - Loop 1 of " + QString::number(n) + " ("));
        QVERIFY(host.captionHistory.last().contains(" - Loop " + QString::number(n) + " of " +
                                                    QString::number(n) + " ("));
    }

    void fullLoopWritesTheTotalLine() {
        UseLibrary library(fake("bare"));
        ScriptedClock clock({100.0f, 102.5f});
        ShellHost host;
        rig::RunController runs(host, host, [&](suite::Host &h) {
            h.clearReport();
            h.Printf(QStringLiteral("pass report"));
            return 0;
        });
        runs.repeatClicked(RunButton::Ten);
        // The report is the last pass's, the total line and an empty line.
        QCOMPARE(host.report,
                 QStringLiteral("pass report\r\nFinished: 10 loops took 2.5 seconds\r\n\r\n"));
        QVERIFY(!runs.running());
    }

    void secondPressStopsAfterThePassInProgress_data() {
        QTest::addColumn<int>("pressedDuring");
        QTest::addColumn<int>("expectedRuns");
        QTest::newRow("first pass") << 1 << 1;
        QTest::newRow("third pass") << 3 << 3;
        QTest::newRow("last pass") << 10 << 10;
    }
    void secondPressStopsAfterThePassInProgress() {
        QFETCH(int, pressedDuring);
        QFETCH(int, expectedRuns);
        UseLibrary library(fake("bare"));
        ScriptedClock clock({10.0f, 11.0f});
        ShellHost host;
        int passes = 0;
        rig::RunController *controller = nullptr;
        rig::RunController runs(host, host, [&](suite::Host &) {
            ++passes;
            if (passes == pressedDuring)
                controller->repeatClicked(RunButton::Ten);  // delivered by the run's pump
            return 1;
        });
        controller = &runs;
        runs.repeatClicked(RunButton::Ten);
        QCOMPARE(passes, expectedRuns);
        QCOMPARE(host.report,
                 "Finished: " + QString::number(expectedRuns) + " loops took 1 seconds\r\n\r\n");
        QCOMPARE(runs.errorLines(), expectedRuns);
        QVERIFY(!runs.running());
        // The buttons come back, and a further press starts a new loop.
        QCOMPARE(host.enabled[0] && host.enabled[2] && host.enabled[3], true);
        passes = 100;
        runs.repeatClicked(RunButton::Ten);
        QCOMPARE(passes, 110);
    }

    void loopAcrossMidnightShowsNegativeSeconds() {
        UseLibrary library(fake("bare"));
        ScriptedClock clock({86399.5f, 0.5f});
        ShellHost host;
        rig::RunController runs(host, host, [](suite::Host &) { return 0; });
        runs.runRepeated(RunButton::Ten, 1);
        QCOMPARE(host.report, QStringLiteral("Finished: 1 loops took -86399 seconds\r\n\r\n"));
    }

    // ---- The frame against a library that has only LibVersion ----------------------------
    void frameReportsEveryFailedStep() {
        UseLibrary library(fake("bare"));
        ShellHost host;
        host.report = QStringLiteral("left over from before");
        const int errors = suite::RunAllTests(host);

        const QStringList lines = host.reportLines();
        QCOMPARE(lines.first(), QStringLiteral("Checking DLL version v1.25"));
        QVERIFY(!host.report.contains("left over"));
        QVERIFY(host.reportVisible);

        // One error line and one information box per failed step.
        static const QRegularExpression errorLine(
            QStringLiteral("^Error \\d+ ocurred \\(.*\\) - this error may be normal during some "
                           "tests$"));
        int errorLines = 0;
        for (const QString &line : lines)
            errorLines += errorLine.match(line).hasMatch() ? 1 : 0;
        QVERIFY(errors > 0);
        QCOMPARE(errorLines, errors);
        QCOMPARE(host.boxes.size(), errors);
        for (const QString &box : host.boxes) {
            QVERIFY2(errorLine.match(box).hasMatch(), qPrintable(box));
            QVERIFY(lines.contains(box));
        }
        QVERIFY(host.report.contains("Can't find DLL entry point"));
        // A statement failing again in a loop is flagged as a repeat, so a window asks once:
        // each speed loop's 10000 failures, for one.
        QVERIFY2(host.firstErrors.size() < 200,
                 qPrintable(QString::number(host.firstErrors.size())));
        QCOMPARE(host.firstErrors.filter("entry point CommaStr ").size(), 1);
        QCOMPARE(QSet<QString>(host.firstErrors.begin(), host.firstErrors.end()),
                 QSet<QString>(host.boxes.begin(), host.boxes.end()));

        // The closing block.
        const QStringList closing = {
            "* Windows event logging not tested *",
            "* GetOpenFile and GetSaveFile not tested *",
            "* ShellRun not tested *",
            "* Console functions not tested *",
            "* CGI functionality not tested *",
            "* Wallpaper functions not tested *",
            "* MAPI functionality not tested *",
            "* BMP functions not tested *",
            "* Tests Complete * " + QString(100, u'-'),
        };
        QVERIFY(lines.size() > closing.size() + 2);
        QCOMPARE(lines.mid(lines.size() - 2 - closing.size(), closing.size()), closing);
        static const QRegularExpression total(
            QStringLiteral("^\\* This execution took -?[0-9.E+-]+ second\\(s\\)$"));
        QVERIFY2(total.match(lines[lines.size() - 2]).hasMatch(),
                 qPrintable(lines[lines.size() - 2]));
        // The total line ends the report: its own line break and no empty line after it.
        QVERIFY(host.report.endsWith(" second(s)\r\n"));
    }

    // ---- Headless host ------------------------------------------------------------------
    void reportFileText_data() {
        QTest::addColumn<QString>("report");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<QString>("file");
        QTest::newRow("newlines") << "a\r\nb\r\n" << false << "a\nb\n";
        QTest::newRow("kept") << "a\r\nb\r\n" << true << "a\r\nb\r\n";
        QTest::newRow("lone CR stays") << "a\rb\r\n" << false << "a\rb\n";
        QTest::newRow("latin-1 text")
            << QString::fromLatin1("caf\xe9\r\n") << false << QString::fromLatin1("caf\xe9\n");
    }
    void reportFileText() {
        QFETCH(QString, report);
        QFETCH(bool, keep);
        QFETCH(QString, file);
        QCOMPARE(rig::reportFileText(report, keep), file);
    }

    // ---- Measures and fonts -------------------------------------------------------------
    void twips_data() {
        QTest::addColumn<int>("twips");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("client width") << 12000 << 96.0 << 800;
        QTest::newRow("client height") << 6945 << 96.0 << 463;
        QTest::newRow("under half") << 7 << 96.0 << 0;
        QTest::newRow("8 twips") << 8 << 96.0 << 1;
        QTest::newRow("144 dpi") << 6945 << 144.0 << 695;
    }
    void twips() {
        QFETCH(int, twips);
        QFETCH(double, dpi);
        QFETCH(int, pixels);
        QCOMPARE(rig::twipsToPixels(twips, dpi), pixels);
    }

    void fontFamilies_data() {
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QStringList>("available");
        QTest::addColumn<QString>("chosen");
        const QStringList debian = {"DejaVu Sans", "DejaVu Sans Mono", "Liberation Sans",
                                    "Liberation Mono"};
        QTest::newRow("present") << "Arial" << QStringList{"arial", "Liberation Sans"} << "Arial";
        QTest::newRow("arial") << "Arial" << debian << "Liberation Sans";
        QTest::newRow("ms sans serif") << "MS Sans Serif" << debian << "Liberation Sans";
        QTest::newRow("lucida console") << "Lucida Console" << debian << "DejaVu Sans Mono";
        QTest::newRow("second choice")
            << "Lucida Console" << QStringList{"Liberation Mono"} << "Liberation Mono";
        QTest::newRow("nothing close") << "Arial" << QStringList{"Foo"} << QString();
        QTest::newRow("unknown family") << "Wingdings" << debian << QString();
    }
    void fontFamilies() {
        QFETCH(QString, requested);
        QFETCH(QStringList, available);
        QFETCH(QString, chosen);
        QCOMPARE(rig::fontFamilyFor(requested, available), chosen);
    }
};

QTEST_GUILESS_MAIN(ShellLogicTest)
#include "shell_logic_test.moc"
