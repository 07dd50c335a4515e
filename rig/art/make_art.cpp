// Draws the rig's window icon (icon.png) and its About picture (about.jpg, 350 x 129) into
// the folder given as the only argument (run it with QT_QPA_PLATFORM=offscreen), or with
// --icon the icon alone at any size.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

#include "qorlib145.h"

namespace {

QImage icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // A dark rounded plate with an amber "Z" over a test-tube stripe.
    QLinearGradient plate(0, 0, 64, 64);
    plate.setColorAt(0, QColor(70, 70, 78));
    plate.setColorAt(1, QColor(28, 28, 34));
    p.setPen(QPen(QColor(200, 200, 210), 2));
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 160, 220));
    p.drawRect(QRectF(8, 44, 48, 8));
    QPainterPath z;
    z.moveTo(14, 12);
    z.lineTo(50, 12);
    z.lineTo(50, 19);
    z.lineTo(25, 38);
    z.lineTo(50, 38);
    z.lineTo(50, 44);
    z.lineTo(14, 44);
    z.lineTo(14, 37);
    z.lineTo(39, 18);
    z.lineTo(14, 18);
    z.closeSubpath();
    p.setBrush(QColor(255, 176, 32));
    p.drawPath(z);
    return image;
}

QImage about() {
    QImage image(350, 129, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 350, 129);
    sky.setColorAt(0, QColor(16, 40, 96));
    sky.setColorAt(0.55, QColor(24, 110, 160));
    sky.setColorAt(1, QColor(250, 170, 40));
    p.fillRect(image.rect(), sky);
    QRadialGradient glow(290, 30, 90);
    glow.setColorAt(0, QColor(255, 255, 255, 120));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), glow);
    // A row of bars, like a speed-loop chart.
    for (int i = 0; i < 12; ++i) {
        const int h = 12 + (i * 37) % 40;
        p.fillRect(QRect(18 + i * 11, 118 - h, 7, h), QColor(255, 255, 255, 70));
    }
    p.drawImage(QRect(270, 60, 56, 56), icon(56));
    QFont title(QStringLiteral("Liberation Sans"));
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(QRect(14, 12, 330, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Zentrak DLL Testbed"));
    p.setPen(Qt::white);
    p.drawText(QRect(12, 10, 330, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Zentrak DLL Testbed"));
    QFont line(QStringLiteral("Liberation Sans"));
    line.setPixelSize(14);
    p.setFont(line);
    p.setPen(QColor(230, 240, 255));
    p.drawText(QRect(14, 50, 330, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Test rig for the qorlib145 utility library"));
    p.drawText(QRect(14, 70, 250, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Rig version " QORLIB145_VERSION));
    return image;
}

}  // namespace

int main(int argc, char **argv) {
    // "--icon SIZE FILE" draws the icon alone at another size, for the desktop's icon theme.
    // It draws no text, so it needs no application object and no display: it runs in builds.
    if (argc == 4 && qstrcmp(argv[1], "--icon") == 0) {
        const int size = QByteArray(argv[2]).toInt();
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "%s: an icon size is 16 to 1024 pixels\n", argv[0]);
            return 64;
        }
        return icon(size).save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
    }
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER | --icon SIZE FILE\n", argv[0]);
        return 64;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool ok = icon(64).save(folder.filePath(QStringLiteral("icon.png")), "PNG") &&
                    about().save(folder.filePath(QStringLiteral("about.jpg")), "JPG", 88);
    return ok ? 0 : 1;
}
