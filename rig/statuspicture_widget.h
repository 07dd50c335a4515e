// Out, the status picture: a background picture under the lines printed on it. The lines
// are kept, not their pixels, so they survive the window being covered, are drawn sharp at
// any device pixel ratio and layout scale, and can be read out as text.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
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

    // The window's layout scale: printed lines are drawn this much larger than their points.
    void setScale(double scale);
    double scale() const { return scale_; }

    // What was printed, on a transparent surface the size of the widget.
    QImage drawing() const;
    // The printed lines as text, one per line.
    QString text() const;
    QPoint printPosition() const;
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
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    struct Line {
        QString text;
        QFont font;  // in points, before the layout scale
        QColor colour;
    };
    QFont scaled(const QFont &font) const;
    // Draws the picture and the lines with `painter`, whose device has this widget's size.
    void paintLines(QPainter &painter) const;

    QList<Line> lines_;
    QPixmap picture_;
    QFont font_;
    QColor colour_ = Qt::black;
    double scale_ = 1.0;
    bool persistent_ = false;
    bool pressed_ = false;
};

}  // namespace rig
