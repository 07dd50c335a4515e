// The rig's window program: creates Form1, loads it (base caption and start-up check) and
// shows it. It calls the library in its own process; --isolate runs it in the library host.
#include <QApplication>
#include <QCommandLineParser>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "fatal_guard.h"
#include "form1.h"
#include "library.h"
#include "run.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    // The report lives in the window and dies with it; the status and standard error at
    // least say that the library ended the process, and where.
    apps::installFatalGuard("testbed");
    QApplication::setApplicationName(QStringLiteral("Zentrak DLL Testbed"));
    QApplication::setApplicationVersion(suite::RIG_VERSION);
    // Lets the desktop match the window with its desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TESTBED_APP_ID));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The Zentrak DLL Testbed's window. It calls the qorlib145 library in its own process;\n"
        "with --isolate the library runs in a process of its own, so that a crash, an endless\n"
        "loop or exit() in the library becomes an error box instead of ending the window."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption isolateOption(QStringLiteral("isolate"),
                                           QStringLiteral("Runs the library in its host process."));
    const QCommandLineOption callTimeoutOption(
        QStringLiteral("call-timeout"),
        QStringLiteral("With --isolate: ends the host when one call takes longer than SECONDS "
                       "(default 60)."),
        QStringLiteral("SECONDS"));
    parser.addOptions({isolateOption, callTimeoutOption});
    parser.process(app);
    qorbind::Library &library = qorbind::Library::instance();
    if (parser.isSet(callTimeoutOption)) {
        bool ok = false;
        const double seconds = parser.value(callTimeoutOption).toDouble(&ok);
        if (!ok || !(seconds >= 0.001 && seconds <= 86400)) {
            std::fputs("testbed: --call-timeout needs seconds from 0.001 to 86400\n", stderr);
            return 64;
        }
        library.setCallTimeout(std::chrono::milliseconds(std::llround(seconds * 1000)));
    }
    library.setIsolated(parser.isSet(isolateOption));
    library.setHostOutput([](const QString &line) {
        std::fprintf(stderr, "[library] %s\n", qUtf8Printable(line));
        std::fflush(stderr);
    });

    rig::Form1 form;
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
