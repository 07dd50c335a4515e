// The window at the screen scale window_scaling_xvfb.sh set and the desktop fonts 9, 10,
// 11 and 14 pt, after the start-up check and a pass: every caption must show whole and
// clear of its control's frame, the window must fit the screen's available area, and
// the status picture must hold its lines. Keeps a screenshot of each.
//   window_scaling SCREENSHOT_PREFIX
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QtMath>
#include <cstdio>

#include "form1.h"
#include "library.h"

namespace {

int failures = 0;

void fail(const QString &what) {
    ++failures;
    std::printf("FAIL: %s\n", qPrintable(what));
}

// The ink in `image` (dark or light), leaving out a band of `frame` device pixels.
QRect inkOf(const QImage &image, bool dark, int frame = 0) {
    QRect ink;
    for (int y = frame; y < image.height() - frame; ++y)
        for (int x = frame; x < image.width() - frame; ++x)
            if (dark ? qGray(image.pixel(x, y)) < 90 : qGray(image.pixel(x, y)) > 170)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// Compares the caption's ink on the control with the same caption drawn alone.
void checkCaption(QWidget *control, QString caption, bool dark, const QString &where) {
    caption.remove(u'&');
    const QImage shot = control->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const int frame = dark ? qCeil(2 * ratio) : 0;  // a button's frame is dark lines too
    const QRect ink = inkOf(shot, dark, frame);
    QImage alone(shot.size() * 3, QImage::Format_RGB32);
    alone.setDevicePixelRatio(ratio);
    alone.fill(Qt::white);
    QPainter painter(&alone);
    painter.setFont(control->font());
    painter.drawText(20, 50, caption);
    painter.end();
    const int whole = inkOf(alone, true).width();
    const double clear = std::min(ink.left(), shot.width() - 1 - ink.right()) / ratio;
    if (ink.width() < whole - 1 || clear < (dark ? 5 : 0))
        fail(QStringLiteral("%1: \"%2\" shows %3 of %4 pixels, %5 clear of the edge")
                 .arg(where, caption)
                 .arg(ink.width())
                 .arg(whole)
                 .arg(clear));
}

}  // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    for (int points : {9, 10, 11, 14}) {
        QFont desktop = QApplication::font();
        desktop.setPointSize(points);
        QApplication::setFont(desktop);
        rig::Form1 form;
        form.Form_Load();
        form.show();
        QTest::qWait(400);  // the window manager's frame arrives a moment after the window
        form.findChild<QPushButton *>(QStringLiteral("cmdOnce"))->click();
        QTest::qWait(300);
        const QString where = QStringLiteral("scale %1, %2 pt")
                                  .arg(qEnvironmentVariable("QT_SCALE_FACTOR"))
                                  .arg(points);
        if (!form.screen()->availableGeometry().contains(form.frameGeometry()))
            fail(where + QStringLiteral(": the window leaves the screen"));
        for (QPushButton *button : form.findChildren<QPushButton *>())
            checkCaption(button, button->text(), true, where);
        auto *label = form.findChild<QLabel *>(QStringLiteral("Label1"));
        checkCaption(label, label->text(), false, where);
        const rig::StatusPictureWidget *out = form.statusPicture();
        if (out->text().count(u'\n') < 6 || out->printPosition().y() > out->height())
            fail(where + QStringLiteral(": the status picture cuts its lines"));
        std::printf("%s: window %dx%d\n", qPrintable(where), form.width(), form.height());
        form.screen()->grabWindow(0).save(QStringLiteral("%1_%2pt.png").arg(argv[1]).arg(points));
    }
    return failures ? 1 : 0;
}
