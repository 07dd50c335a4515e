// Prints the text on the X clipboard, so a script can read what a window copied.
#include <QClipboard>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return text.isEmpty() ? 1 : 0;
}
