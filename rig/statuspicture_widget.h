// Out, the status picture: a background picture under a drawing surface that keeps what was
// printed on it, so the lines survive the window being covered.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include "host.h"

namespace rig {

// The 16 console colours (0 black ... 5 magenta ... 9 light blue ... 12 light red ...
// 15 white). Raises the invalid-call error for any other number.
QColor consoleColor(int number);

class StatusPictureWidget final : public QWidget, public suite::StatusPicture {
    Q_OBJECT
  public:
    explicit StatusPictureWidget(QWidget *parent = nullptr);

    // ---- suite::StatusPicture ----
    void setColor(int consoleColor) override;
    void setFontName(const QString &name) override;
    void setFontSize(double points) override;
    void setBold(bool bold) override;
    void print(const QStringList &items) override;
    void clear() override;
    void removePicture() override;
    void setPersistent(bool persistent) override { persistent_ = persistent; }

    // The background picture, shown at the top left corner.
    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return picture_; }

    // What was printed, on a transparent surface the size of the widget.
    const QImage &drawing() const { return drawing_; }
    QPoint printPosition() const { return position_; }
    const QFont &printFont() const { return font_; }
    const QColor &printColor() const { return colour_; }
    bool persistent() const { return persistent_; }

    // The picture as it is shown: background colour, picture, drawing.
    QImage composed() const;

    static QColor backgroundColour() { return QColor(240, 240, 240); }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    void ensureSurface();

    QImage drawing_;
    QPixmap picture_;
    QPoint position_;
    QFont font_;
    QColor colour_ = Qt::black;
    bool persistent_ = false;
    bool pressed_ = false;
};

}  // namespace rig
