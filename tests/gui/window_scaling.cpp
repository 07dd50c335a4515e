// The window at one screen scale (QT_SCALE_FACTOR, set by window_scaling_xvfb.sh) and the
// desktop fonts 9, 10, 11 and 14 pt, after the start-up check and one pass: no caption may
// lose ink to its control's edge, the window must fit the screen's available area, and
// the status picture must hold its lines. A screenshot of each is kept.
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
#include "statuspicture_widget.h"

namespace {

int failures = 0;

void check(bool ok, const QString &what) {
    if (!ok) {
        ++failures;
        std::printf("FAIL: %s\n", qPrintable(what));
    }
}

// The columns and rows of `image` that hold ink, in device pixels, leaving out a band of
// `frame` device pixels round the edge.
QRect inkOf(const QImage &image, bool darkInk, int frame = 0) {
    QRect ink;
    for (int y = frame; y < image.height() - frame; ++y)
        for (int x = frame; x < image.width() - frame; ++x) {
            const int grey = qGray(image.pixel(x, y));
            if (darkInk ? grey < 90 : grey > 170)
                ink |= QRect(x, y, 1, 1);
        }
    return ink;
}

// The ink of `caption` drawn alone in `font`, in logical pixels.
int inkWidthAlone(const QString &caption, const QFont &font, qreal ratio) {
    const QFontMetrics metrics(font);
    QImage image(QSize(metrics.horizontalAdvance(caption) + 20, metrics.height() + 10) * ratio,
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(10, 5 + metrics.ascent(), caption);
    painter.end();
    return qRound(inkOf(image, true).width() / ratio);
}

// The caption of `control` shows whole, and clear of the control's edges.
void checkCaption(QWidget *control, const QString &text, bool darkInk, const QString &where) {
    const QImage shot = control->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    // A button's frame is drawn in dark lines too: its outer two pixels are no caption.
    const bool button = qobject_cast<QPushButton *>(control);
    const QRect ink = inkOf(shot, darkInk, button ? qCeil(2 * ratio) : 0);
    const QString caption = QString(text).remove(u'&');
    const int whole = inkWidthAlone(caption, control->font(), ratio);
    const double left = ink.left() / ratio, right = (shot.width() - 1 - ink.right()) / ratio;
    check(ink.width() / ratio >= whole - 1.5,
          QStringLiteral("%1: \"%2\" is clipped (%3 of %4 pixels show)")
              .arg(where, caption)
              .arg(ink.width() / ratio)
              .arg(whole));
    // Clear of a button's frame by a few pixels; a label has no frame.
    const double clear = button ? 5 : 0;
    check(left >= clear && right >= clear,
          QStringLiteral("%1: \"%2\" touches an edge (%3 and %4 pixels clear)")
              .arg(where, caption)
              .arg(left)
              .arg(right));
}

}  // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QString prefix = QString::fromLocal8Bit(argv[argc - 1]);
    qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
    for (int points : {9, 10, 11, 14}) {
        QFont desktop = QApplication::font();
        desktop.setPointSize(points);
        QApplication::setFont(desktop);
        rig::Form1 form;
        form.setTerminator([](int) { std::exit(3); });
        form.Form_Load();
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) {
            check(false, QStringLiteral("the window did not show"));
            continue;
        }
        // The window manager's frame arrives a moment after the window.
        QTest::qWait(400);
        const QString where = QStringLiteral("scale %1, %2 pt").arg(scale).arg(points);
        form.findChild<QPushButton *>(QStringLiteral("cmdOnce"))->click();
        QTest::qWait(300);  // the window repaints after the pass

        const QRect available = form.screen()->availableGeometry();
        check(available.contains(form.frameGeometry()),
              QStringLiteral("%1: the window (%2,%3 %4x%5) leaves the screen's area (%6x%7)")
                  .arg(where)
                  .arg(form.frameGeometry().x())
                  .arg(form.frameGeometry().y())
                  .arg(form.frameGeometry().width())
                  .arg(form.frameGeometry().height())
                  .arg(available.width())
                  .arg(available.height()));
        for (QPushButton *button : form.findChildren<QPushButton *>())
            checkCaption(button, button->text(), true, where);
        auto *label = form.findChild<QLabel *>(QStringLiteral("Label1"));
        checkCaption(label, label->text(), false, where);
        rig::StatusPictureWidget *out = form.statusPicture();
        check(out->text().count(u'\n') >= 6 && out->printPosition().y() <= out->height(),
              QStringLiteral("%1: the status picture's %2 lines need %3 of its %4 pixels")
                  .arg(where)
                  .arg(out->text().count(u'\n') + 1)
                  .arg(out->printPosition().y())
                  .arg(out->height()));
        std::printf("%s: window %dx%d, layout scale %.3f\n", qPrintable(where), form.width(),
                    form.height(), form.layoutScale());
        form.screen()->grabWindow(0).save(QStringLiteral("%1_%2pt.png").arg(prefix).arg(points));
    }
    std::printf("%s\n", failures ? "FAILED" : "all captions fit");
    return failures ? 1 : 0;
}
