// The rig's window program: creates Form1, loads it (base caption and start-up check) and
// shows it.
#include <QApplication>

#include "fatal_guard.h"
#include "form1.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    // The report lives in the window and dies with it; the status and standard error at
    // least say that the library ended the process, and where.
    apps::installFatalGuard("testbed");
    QApplication::setApplicationName(QStringLiteral("Zentrak DLL Testbed"));
    // Lets the desktop match the window with its desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TESTBED_APP_ID));
    rig::Form1 form;
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
