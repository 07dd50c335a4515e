#include "statuspicture_widget.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QKeyEvent>
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

void StatusPictureWidget::setScale(double scale) {
    if (scale > 0 && scale != scale_) {
        scale_ = scale;
        update();
    }
}

QFont StatusPictureWidget::scaled(const QFont &font) const {
    QFont result = font;
    result.setPointSizeF(font.pointSizeF() * scale_);
    return result;
}

void StatusPictureWidget::print(const QStringList &items) {
    const QString line = items.join(QString());
    // A screen reader hears each new line, the start-up verdict among them.
    const int offset = lines_.isEmpty() ? 0 : static_cast<int>(text().size()) + 1;
    lines_.append({line, font_, colour_});
    update();
    if (QAccessible::isActive()) {
        QAccessibleTextInsertEvent inserted(this, offset, line);
        QAccessible::updateAccessibility(&inserted);
    }
}

void StatusPictureWidget::clear() {
    const QString old = text();
    lines_.clear();
    update();
    if (!old.isEmpty() && QAccessible::isActive()) {
        QAccessibleTextRemoveEvent removed(this, 0, old);
        QAccessible::updateAccessibility(&removed);
    }
}

QString StatusPictureWidget::text() const {
    QStringList texts;
    for (const Line &line : lines_)
        texts << line.text;
    return texts.join(u'\n');
}

QPoint StatusPictureWidget::printPosition() const {
    int y = 0;
    for (const Line &line : lines_)
        y += QFontMetrics(scaled(line.font), this).height();
    return QPoint(0, y);
}

void StatusPictureWidget::removePicture() {
    picture_ = QPixmap();
    update();
}

void StatusPictureWidget::setPicture(const QPixmap &picture) {
    picture_ = picture;
    update();
}

void StatusPictureWidget::paintLines(QPainter &painter) const {
    int y = 0;
    for (const Line &line : lines_) {
        painter.setFont(scaled(line.font));
        painter.setPen(line.colour);
        const QFontMetrics metrics = painter.fontMetrics();
        painter.drawText(0, y + metrics.ascent(), line.text);
        y += metrics.height();
        if (y > height())
            break;
    }
}

QImage StatusPictureWidget::drawing() const {
    QImage surface(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    // Point sizes turn into the same pixels as on the screen.
    surface.setDotsPerMeterX(static_cast<int>(std::lround(logicalDpiX() / 0.0254)));
    surface.setDotsPerMeterY(static_cast<int>(std::lround(logicalDpiY() / 0.0254)));
    surface.fill(Qt::transparent);
    QPainter painter(&surface);
    paintLines(painter);
    return surface;
}

QImage StatusPictureWidget::composed() const {
    QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(backgroundColour());
    QPainter painter(&image);
    if (!picture_.isNull())
        painter.drawPixmap(0, 0, picture_);
    painter.drawImage(0, 0, drawing());
    return image;
}

void StatusPictureWidget::paintEvent(QPaintEvent *) {
    // Drawn straight onto the widget, so the text is rendered at the screen's pixel ratio.
    QPainter painter(this);
    painter.fillRect(rect(), backgroundColour());
    if (!picture_.isNull())
        painter.drawPixmap(0, 0, picture_);
    paintLines(painter);
}

void StatusPictureWidget::keyPressEvent(QKeyEvent *event) {
    // With the focus here, the keys that press a button do what a click does.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (!(event->modifiers() & ~Qt::KeypadModifier)) {
                emit clicked();
                return;
            }
            break;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
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
