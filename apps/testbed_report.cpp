// The rig without a window: the start-up check, then one pass (or --passes N) of the test
// routine, with the report written as the window's report console would hold it.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>

#include "checklibrary.h"
#include "headless_host.h"
#include "library.h"
#include "run.h"
#include "runloops.h"
#include "statuscaption.h"

namespace {

enum ExitStatus { Clean = 0, ErrorLines = 1, LibraryUnusable = 2, Usage = 64, CannotWrite = 74 };

void toStandardError(const QString &line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("testbed-report"));
    QCoreApplication::setApplicationVersion(suite::RIG_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the Zentrak DLL Testbed without a window: checks the qorlib145 library, runs the\n"
        "test routine and writes the report to standard output. Status-picture lines, message\n"
        "boxes and caption changes go to standard error.\n\n"
        "Exit status: 0 when the report holds no error line, 1 when it does, 2 when the library\n"
        "is missing or older than the rig."));
    parser.addHelpOption();
    parser.addVersionOption();
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
    parser.addOptions({passesOption, libraryOption, outputOption, crlfOption});
    parser.process(app);

    if (!parser.positionalArguments().isEmpty()) {
        toStandardError(QStringLiteral("testbed-report: unexpected argument ") +
                        parser.positionalArguments().constFirst());
        return Usage;
    }
    int passes = 0;
    if (parser.isSet(passesOption)) {
        bool ok = false;
        passes = parser.value(passesOption).toInt(&ok);
        // The loop counter of the repeat buttons is a 16-bit integer.
        if (!ok || passes < 1 || passes > 32767) {
            toStandardError(
                QStringLiteral("testbed-report: --passes needs a number from 1 to 32767"));
            return Usage;
        }
    }
    if (parser.isSet(libraryOption))
        qorbind::Library::instance().setPath(parser.value(libraryOption));

    rig::HeadlessHost host(&toStandardError);
    rig::ShowStatusCaption(host, QString());
    bool ended = false;
    rig::CheckLibrary(host, host, [&] { ended = true; });
    if (ended || !host.runButtonEnabled(rig::RunButton::Once))
        return LibraryUnusable;

    rig::RunController runs(host, host, &suite::RunAllTests);
    if (passes == 0)
        runs.onceClicked();
    else
        runs.runRepeated(rig::RunButton::Ten, passes);

    const QByteArray report = rig::reportFileText(host.report(), parser.isSet(crlfOption)).toUtf8();
    if (parser.isSet(outputOption)) {
        QFile file(parser.value(outputOption));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(report) != report.size() || !file.flush()) {
            toStandardError(QStringLiteral("testbed-report: cannot write ") + file.fileName() +
                            QStringLiteral(": ") + file.errorString());
            return CannotWrite;
        }
    } else {
        std::fwrite(report.constData(), 1, static_cast<std::size_t>(report.size()), stdout);
        if (std::fflush(stdout) != 0)
            return CannotWrite;
    }
    return runs.errorLines() == 0 ? Clean : ErrorLines;
}
