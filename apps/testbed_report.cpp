// The rig without a window: the start-up check, then one pass (or --passes N) of the test
// routine, with the report written as the window's report console would hold it; with
// --expect, every pass compared with a stored report, and with --junit, results for CI.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "checklibrary.h"
#include "cost.h"
#include "fatal_guard.h"
#include "headless_host.h"
#include "judge.h"
#include "library.h"
#include "page.h"
#include "progress_line.h"
#include "report_output.h"
#include "rigerror.h"
#include "run.h"
#include "runloops.h"
#include "standard_streams.h"
#include "statuscaption.h"
#include "stored_report.h"

namespace {

enum ExitStatus {
    Clean = 0,
    ErrorLines = 1,
    LibraryUnusable = 2,
    Differs = 3,
    Usage = 64,
    NoExpectedReport = 66,
    CannotWrite = 74,
};

const char DESCRIPTION[] =
    "Runs the Zentrak DLL Testbed without a window: checks the qorlib145 library, runs the\n"
    "test routine and writes the report to standard output. Status-picture lines, message\n"
    "boxes, caption changes and differences go to standard error.\n"
    "\n"
    "Each report line is written as soon as it is complete, so a run the library ends keeps\n"
    "the lines before. Each pass starts the report afresh, as in the window: a regular file\n"
    "(--output, or standard output redirected to one) ends holding the last pass only,\n"
    "while a pipe, a terminal or a file standard error goes to as well receives every pass\n"
    "in turn. With --junit, the JUnit file is rewritten after every pass.\n"
    "\n"
    "With --expect FILE, every pass is compared with FILE, a report an earlier run wrote with\n"
    "--output: the parts of a line that vary by nature (timings, random texts, process ids,\n"
    "memory and disk figures, values of the clock) by their shape, everything else byte for\n"
    "byte. CR LF and LF line ends compare equal. Differences are shown as a unified diff.\n"
    "\n"
    "The library runs in a process of its own, qorlib-host, so that a library that crashes,\n"
    "hangs or calls exit() cannot end the run: the call in which the host died, or which ran\n"
    "past --call-timeout, becomes an error line (900 \"The library crashed in ...\", 901\n"
    "\"The library did not answer in time\"), a fresh host serves the next call, and the run,\n"
    "--expect and --junit complete. What the library writes to standard output or standard\n"
    "error reaches standard error as lines marked \"[library]\". A Windows DLL given with\n"
    "--library runs in qorlib-host.exe under Wine. --in-process calls the library directly,\n"
    "as the window does: a little faster, but a fatal fault of the library ends the run.\n"
    "\n"
    "Cost: --profile FILE writes, per pass and for the run, each export's calls, their total,\n"
    "median and longest time, and the memory its calls grew in the library's process, as\n"
    "JSON; --profile - prints the run's exports on standard error, slowest first. With\n"
    "--expect-profile FILE (a profile an earlier run wrote), an export or section whose\n"
    "time per pass is slower than stored fails the verdict: the rank test must find it\n"
    "slower (p < 0.01, which needs 5 passes or more on each side), by --max-slowdown times\n"
    "or more (default 1.5) and by 10 ms a pass or more. With --expect or --expect-profile\n"
    "and 3 passes or more, an export whose calls grew the memory by 1 MiB or more per\n"
    "pass in most passes after the first leaks, and fails it too. What cannot be judged\n"
    "is said on standard error. --html FILE writes one page of the run to look at.\n"
    "\n"
    "Stored files are read only when they are regular files of at most 64 MiB.\n"
    "\n"
    "Exit status; when several apply, the first in this list wins:\n"
    "  64  bad arguments\n"
    "  66  the --expect or --expect-profile file is missing or cannot be read as one\n"
    "   2  the library cannot be loaded, or is older than the rig\n"
    "  74  the report, the JUnit file, the profile or the page cannot be written\n"
    "   3  a pass differs from the --expect file, or the cost verdict found a slower or\n"
    "      leaking export or section\n"
    "   1  the report holds error lines\n"
    "   0  none of these\n"
    "With --in-process, a run the library ends has none of these: 70 when it called exit(),\n"
    "and the status of the signal when it crashed (139 for SIGSEGV, 134 for SIGABRT);\n"
    "standard error names the function being called.";

// Set while a repeat run shows its progress on a terminal; every line goes around it.
apps::ProgressLine *progress = nullptr;

void toStandardError(const QString &line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    if (progress) {
        progress->writeLine(bytes);
        return;
    }
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

int usageError(const QString &message) {
    toStandardError(QStringLiteral("testbed-report: ") + message);
    toStandardError(QStringLiteral("Try 'testbed-report --help'."));
    return Usage;
}

// Writes `bytes` to standard output, checking every write and the flush.
bool writeStandardOutput(const QByteArray &bytes, bool closed) {
    errno = closed ? EBADF : 0;
    if (!closed &&
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout) ==
            static_cast<std::size_t>(bytes.size()) &&
        std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    toStandardError(QStringLiteral("testbed-report: cannot write standard output: ") +
                    QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : EIO)));
    return false;
}

// The JUnit file, the profile and the page are written whole.
bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(bytes) == bytes.size() && file.flush())
        return true;
    toStandardError(QStringLiteral("testbed-report: cannot write ") + file.fileName() +
                    QStringLiteral(": ") + file.errorString());
    return false;
}

// The loader's reason, without the path it usually starts with.
QString loaderReason(const QString &path) {
    QString reason = qorbind::Library::instance().loadError();
    const QString prefix = QFileInfo(path).absoluteFilePath() + QStringLiteral(": ");
    if (reason.startsWith(prefix))
        reason.remove(0, prefix.size());
    return reason.isEmpty() ? QStringLiteral("unknown reason") : reason;
}

// One pass's cost from what the binding counted, each export with the section it spent
// most of its time in.
verdict::PassCost passCost(int pass, const qorbind::Library::PassProfile &measured,
                           const QList<verdict::CaseResult> &sections) {
    verdict::PassCost cost;
    cost.pass = pass;
    cost.memory = measured.memory > 0 ? static_cast<qint64>(measured.memory) : -1;
    for (const verdict::CaseResult &section : sections)
        cost.sections.append({section.name, section.seconds});
    for (const qorbind::CallProfile::ExportPass &e : measured.exports) {
        verdict::ExportCost exported;
        exported.name = QString::fromLatin1(qorhost::exportName(e.id));
        exported.calls = static_cast<qint64>(e.calls);
        exported.totalNs = static_cast<qint64>(e.totalNs);
        exported.medianNs = static_cast<qint64>(e.medianNs);
        exported.maxNs = static_cast<qint64>(e.maxNs);
        exported.memoryGrowth = e.memoryGrowth;
        exported.section = sections.value(e.section).name;
        cost.exports.append(exported);
    }
    return cost;
}

}  // namespace

int main(int argc, char **argv) {
    const bool outputClosed = apps::holdClosedStandardStreams();
    QCoreApplication app(argc, argv);
    apps::installFatalGuard("testbed-report", "the report holds the lines written before it");
    QCoreApplication::setApplicationName(QStringLiteral("testbed-report"));
    QCoreApplication::setApplicationVersion(suite::RIG_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(DESCRIPTION));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption passesOption(
        QStringLiteral("passes"),
        QStringLiteral("Runs N passes in a row, as the repeat buttons do, and adds the "
                       "\"Finished:\" line (1 to 32767)."),
        QStringLiteral("N"));
    const QCommandLineOption libraryOption(
        QStringLiteral("library"), QStringLiteral("Loads this library file instead of searching."),
        QStringLiteral("PATH"));
    const QCommandLineOption outputOption(QStringLiteral("output"),
                                          QStringLiteral("Writes the report to FILE."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption crlfOption(QStringLiteral("crlf"),
                                        QStringLiteral("Keeps CR LF line breaks in the report."));
    const QCommandLineOption expectOption(
        QStringLiteral("expect"),
        QStringLiteral("Compares every pass with the report in FILE (see above)."),
        QStringLiteral("FILE"));
    const QCommandLineOption junitOption(
        QStringLiteral("junit"),
        QStringLiteral("Writes JUnit XML results to FILE: a testsuite per pass, a testcase per "
                       "section, failed on error lines and differences."),
        QStringLiteral("FILE"));
    const QCommandLineOption inProcessOption(
        QStringLiteral("in-process"),
        QStringLiteral("Calls the library inside this process, as the window does, instead of "
                       "in its host (see above)."));
    const QCommandLineOption callTimeoutOption(
        QStringLiteral("call-timeout"),
        QStringLiteral("Ends the library host when one call takes longer than SECONDS "
                       "(default 60) and reports the call as an error."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption profileOption(
        QStringLiteral("profile"),
        QStringLiteral("Writes the cost of every export to FILE as JSON, or as a table on "
                       "standard error for \"-\" (see above)."),
        QStringLiteral("FILE"));
    const QCommandLineOption expectProfileOption(
        QStringLiteral("expect-profile"),
        QStringLiteral("Judges the cost against the profile in FILE (see above)."),
        QStringLiteral("FILE"));
    const QCommandLineOption maxSlowdownOption(
        QStringLiteral("max-slowdown"),
        QStringLiteral("The least factor of slowing that fails the cost verdict (1.05 to "
                       "1000, default 1.5)."),
        QStringLiteral("FACTOR"));
    const QCommandLineOption htmlOption(
        QStringLiteral("html"),
        QStringLiteral("Writes one self-contained HTML page of the run to FILE."),
        QStringLiteral("FILE"));
    parser.addOptions({passesOption, libraryOption, outputOption, crlfOption, expectOption,
                       junitOption, inProcessOption, callTimeoutOption, profileOption,
                       expectProfileOption, maxSlowdownOption, htmlOption});

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all")))
        return writeStandardOutput(parser.helpText().toUtf8(), outputClosed) ? Clean : CannotWrite;
    if (parser.isSet(versionOption)) {
        const QByteArray version =
            QStringLiteral("testbed-report %1\n").arg(suite::RIG_VERSION).toUtf8();
        return writeStandardOutput(version, outputClosed) ? Clean : CannotWrite;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument ") +
                          parser.positionalArguments().constFirst());
    for (const QCommandLineOption *option :
         {&libraryOption, &outputOption, &expectOption, &junitOption, &profileOption,
          &expectProfileOption, &htmlOption}) {
        if (parser.isSet(*option) && parser.value(*option).isEmpty())
            return usageError(QStringLiteral("--") + option->names().constFirst() +
                              QStringLiteral(" needs a file path"));
    }
    int passes = 0;
    if (parser.isSet(passesOption)) {
        bool ok = false;
        passes = parser.value(passesOption).toInt(&ok);
        // The loop counter of the repeat buttons is a 16-bit integer.
        if (!ok || passes < 1 || passes > 32767)
            return usageError(QStringLiteral("--passes needs a number from 1 to 32767"));
    }

    verdict::CostRules rules;
    if (parser.isSet(maxSlowdownOption)) {
        bool ok = false;
        rules.maxSlowdown = parser.value(maxSlowdownOption).toDouble(&ok);
        if (!ok || !(rules.maxSlowdown >= 1.05 && rules.maxSlowdown <= 1000))
            return usageError(QStringLiteral("--max-slowdown needs a factor from 1.05 to 1000"));
    }

    qorbind::Library &library = qorbind::Library::instance();
    if (parser.isSet(callTimeoutOption)) {
        bool ok = false;
        const double seconds = parser.value(callTimeoutOption).toDouble(&ok);
        if (!ok || !(seconds >= 0.001 && seconds <= 86400))
            return usageError(QStringLiteral("--call-timeout needs seconds from 0.001 to 86400"));
        library.setCallTimeout(std::chrono::milliseconds(std::llround(seconds * 1000)));
    }
    library.setIsolated(!parser.isSet(inProcessOption));
    library.setHostOutput(
        [](const QString &line) { toStandardError(QStringLiteral("[library] ") + line); });

    std::optional<verdict::StoredReport> expected;
    const QString expectedPath = parser.value(expectOption);
    if (parser.isSet(expectOption)) {
        QString reason;
        expected.emplace();
        if (!expected->read(expectedPath, &reason)) {
            toStandardError(QStringLiteral("testbed-report: ") + expectedPath +
                            QStringLiteral(" cannot be read as a stored report: ") + reason);
            return NoExpectedReport;
        }
    }
    std::optional<verdict::CostProfile> storedCost;
    if (parser.isSet(expectProfileOption)) {
        QByteArray bytes;
        QString reason;
        storedCost.emplace();
        if (!verdict::readStoredFile(parser.value(expectProfileOption), &bytes, &reason) ||
            !verdict::parseProfile(bytes, &*storedCost, &reason)) {
            toStandardError(QStringLiteral("testbed-report: ") +
                            parser.value(expectProfileOption) +
                            QStringLiteral(" cannot be read as a stored profile: ") + reason);
            return NoExpectedReport;
        }
    }

    if (parser.isSet(libraryOption)) {
        const QString path = parser.value(libraryOption);
        library.setPath(path);
        try {
            library.ensureLoaded();
        } catch (const rt::RigError &) {
            toStandardError(QStringLiteral("testbed-report: cannot load ") + path +
                            QStringLiteral(": ") + loaderReason(path));
            return LibraryUnusable;
        }
    }

    rig::HeadlessHost host(&toStandardError);
    rig::ShowStatusCaption(host, QString());
    bool ended = false;
    rig::CheckLibrary(host, host, [&] { ended = true; });
    if (ended || !host.runButtonEnabled(rig::RunButton::Once))
        return LibraryUnusable;

    apps::ReportOutput output(parser.isSet(crlfOption), &toStandardError);
    if (parser.isSet(outputOption))
        output.useFile(parser.value(outputOption));
    else
        output.useStandardOutput(outputClosed);
    host.streamReport([&](QStringView lines) { output.write(lines); }, [&] { output.restart(); });

    const bool judgeCost = expected || storedCost;
    const bool profiling = judgeCost || parser.isSet(profileOption) || parser.isSet(htmlOption);
    library.setProfiling(profiling);
    verdict::CostProfile cost;
    cost.library = library.loadedPath().isEmpty() ? library.fileName() : library.loadedPath();
    cost.isolated = library.isolated();

    verdict::Judge judge(expected ? &*expected : nullptr, expectedPath, &toStandardError);
    // Rewritten after every pass, so a run the library ends keeps the passes before.
    bool junitWritten = true;
    const auto writeJunit = [&] {
        if (parser.isSet(junitOption) && junitWritten)
            junitWritten = writeFile(parser.value(junitOption),
                                     verdict::junitXml(judge.results(), expectedPath));
    };
    const int passCount = passes == 0 ? 1 : passes;
    apps::ProgressLine progressLine(passCount,
                                    !parser.isSet(outputOption) && apps::isTerminal(stdout));
    progress = &progressLine;
    progressLine.passDone(0, 0);
    int pass = 0;
    const auto judgedPass = [&](suite::Host &h) {
        if (profiling)
            library.takePassProfile();  // not the start-up check's calls, nor the last pass's
        const int errors = suite::RunAllTests(h);
        // Repeats have no line of their own: the count says how many the report holds.
        if (errors > 0)
            h.status().print({rig::errorCountLine(errors)});
        judge.judgePass(++pass, passCount, host.shapedReport());
        if (profiling)
            cost.passes.append(
                passCost(pass, library.takePassProfile(), judge.results().last().cases));
        writeJunit();
        progressLine.passDone(pass, judge.failingPasses());
        return errors;
    };
    rig::RunController runs(host, host, judgedPass);
    if (passes == 0)
        runs.onceClicked();
    else
        runs.runRepeated(rig::RunButton::Ten, passes);
    judge.judgeLoopEnd(host.shapedReport());
    host.finishReport();
    progressLine.finish();
    progress = nullptr;

    verdict::CostVerdict costVerdict;
    if (judgeCost) {
        costVerdict = verdict::judgeCost(storedCost ? &*storedCost : nullptr, cost, rules);
        // What could not be judged matters to whoever asked for the cost to be judged;
        // --expect alone judges leaks only when there are passes enough, quietly.
        if (!storedCost)
            costVerdict.notes.clear();
        judge.judgeCost(costVerdict);
        for (const verdict::CostFinding &finding : costVerdict.findings)
            toStandardError(QStringLiteral("testbed-report: ") + finding.message);
        for (const QString &note : costVerdict.notes)
            toStandardError(QStringLiteral("testbed-report: ") + note);
    }
    writeJunit();
    bool costWritten = true;
    if (parser.value(profileOption) == QStringLiteral("-"))
        toStandardError(verdict::profileTable(cost).chopped(1));
    else if (parser.isSet(profileOption))
        costWritten = writeFile(parser.value(profileOption), verdict::profileJson(cost));

    QString verdictLine;
    if (expected) {
        verdictLine = QStringLiteral("same behaviour as %1");
        if (judge.differingPasses() > 0)
            verdictLine = judge.passesJudged() == 1
                              ? QStringLiteral("the pass differs from %1")
                              : QStringLiteral("%1 of %2 passes differ from %3")
                                    .arg(judge.differingPasses())
                                    .arg(judge.passesJudged());
        verdictLine = verdictLine.arg(expectedPath);
    }
    if (!costVerdict.findings.isEmpty()) {
        const QString slower = QStringLiteral("%1 cost finding(s): slower or leaking")
                                   .arg(costVerdict.findings.size());
        verdictLine = verdictLine.isEmpty() ? slower : verdictLine + QStringLiteral("; ") + slower;
    }
    if (!verdictLine.isEmpty())
        toStandardError(QStringLiteral("testbed-report: ") + verdictLine);

    const bool differs = judge.differingPasses() > 0 || !costVerdict.findings.isEmpty();
    bool pageWritten = true;
    if (parser.isSet(htmlOption)) {
        verdict::PageInput page;
        page.outcome = differs ? verdict::PageInput::Outcome::Failed
                       : runs.errorLines() > 0 ? verdict::PageInput::Outcome::ErrorLines
                                               : verdict::PageInput::Outcome::Passed;
        page.verdict = !verdictLine.isEmpty() ? verdictLine
                       : runs.errorLines() > 0
                           ? QStringLiteral("%1 error line(s)").arg(runs.errorLines())
                           : QStringLiteral("no error lines");
        page.notes = costVerdict.notes;
        page.library = cost.library;
        page.expectedName = expectedPath;
        page.shownPassName = judge.shownPassName();
        page.shownLines = judge.shownLines();
        page.sectionNames = judge.shownSectionNames();
        page.passes = judge.results();
        page.profile = cost;
        page.findings = costVerdict.findings;
        pageWritten = writeFile(parser.value(htmlOption), verdict::htmlPage(page));
    }
    if (output.failed() || !junitWritten || !costWritten || !pageWritten)
        return CannotWrite;
    if (differs)
        return Differs;
    return runs.errorLines() == 0 ? Clean : ErrorLines;
}
