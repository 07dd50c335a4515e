#include "statuspicture_widget.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "layout.h"
#include "rigerror.h"

namespace rig {

QColor consoleColor(int number) {
    static const QRgb colours[16] = {
        qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
        qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
        qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255),
    };
    if (number < 0 || number > 15)
        throw rt::RigError::invalidCall();
    return QColor(colours[number]);
}

namespace {

QString familyFor(const QString &name) {
    const QString family = fontFamilyFor(name, QFontDatabase::families());
    return family.isEmpty() ? name : family;
}

}  // namespace

StatusPictureWidget::StatusPictureWidget(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    font_.setFamily(familyFor(QStringLiteral("MS Sans Serif")));
    font_.setPointSizeF(9.75);
    font_.setBold(false);
}

void StatusPictureWidget::setColor(int number) {
    colour_ = consoleColor(number);
}

void StatusPictureWidget::setFontName(const QString &name) {
    font_.setFamily(familyFor(name));
}

void StatusPictureWidget::setFontSize(double points) {
    if (!(points > 0) || !std::isfinite(points))
        throw rt::RigError::invalidCall();
    font_.setPointSizeF(points);
}

void StatusPictureWidget::setBold(bool bold) {
    font_.setBold(bold);
}

void StatusPictureWidget::ensureSurface() {
    if (drawing_.size() == size() && !drawing_.isNull())
        return;
    QImage surface(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    // Point sizes are turned into pixels at the screen's logical resolution.
    const double dotsPerMeter = logicalDpiY() / 0.0254;
    surface.setDotsPerMeterX(static_cast<int>(std::lround(logicalDpiX() / 0.0254)));
    surface.setDotsPerMeterY(static_cast<int>(std::lround(dotsPerMeter)));
    surface.fill(Qt::transparent);
    if (!drawing_.isNull()) {
        QPainter keep(&surface);
        keep.drawImage(0, 0, drawing_);
    }
    drawing_ = surface;
}

void StatusPictureWidget::print(const QStringList &items) {
    ensureSurface();
    QPainter painter(&drawing_);
    painter.setFont(font_);
    painter.setPen(colour_);
    const QFontMetrics metrics = painter.fontMetrics();
    int x = position_.x();
    const int baseline = position_.y() + metrics.ascent();
    for (const QString &item : items) {
        painter.drawText(x, baseline, item);
        x += metrics.horizontalAdvance(item);
    }
    position_ = QPoint(0, position_.y() + metrics.height());
    update();
}

void StatusPictureWidget::clear() {
    ensureSurface();
    drawing_.fill(Qt::transparent);
    position_ = QPoint(0, 0);
    update();
}

void StatusPictureWidget::removePicture() {
    picture_ = QPixmap();
    update();
}

void StatusPictureWidget::setPicture(const QPixmap &picture) {
    picture_ = picture;
    update();
}

QImage StatusPictureWidget::composed() const {
    QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(backgroundColour());
    QPainter painter(&image);
    if (!picture_.isNull())
        painter.drawPixmap(0, 0, picture_);
    if (!drawing_.isNull())
        painter.drawImage(0, 0, drawing_);
    return image;
}

void StatusPictureWidget::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), backgroundColour());
    if (!picture_.isNull())
        painter.drawPixmap(0, 0, picture_);
    if (!drawing_.isNull())
        painter.drawImage(0, 0, drawing_);
}

void StatusPictureWidget::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    ensureSurface();
}

void StatusPictureWidget::mousePressEvent(QMouseEvent *event) {
    pressed_ = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void StatusPictureWidget::mouseReleaseEvent(QMouseEvent *event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QWidget::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

}  // namespace rig
