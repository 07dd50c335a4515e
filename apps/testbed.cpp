// The rig's window program: creates Form1, loads it (base caption and start-up check) and
// shows it.
#include <QApplication>

#include "form1.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentrak DLL Testbed"));
    // Lets the desktop match the window with its desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TESTBED_APP_ID));
    rig::Form1 form;
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
