#include "accessibility.h"

#include <QAccessibleWidget>
#include <QFontMetrics>

#include "form1.h"
#include "statuspicture_widget.h"

namespace rig {

namespace {

// The status picture's lines as read-only text, one line per printed line.
class StatusPictureAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit StatusPictureAccessible(StatusPictureWidget *picture)
        : QAccessibleWidget(picture, QAccessible::StatusBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return picture()->text();
        return QAccessibleWidget::text(t);
    }

    // ---- QAccessibleTextInterface: read-only, without a caret or a selection ----
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        return picture()->text().mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(picture()->text().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *start, int *end) const override {
        *start = offset;
        *end = offset;
        return QString();
    }

  private:
    StatusPictureWidget *picture() const { return static_cast<StatusPictureWidget *>(widget()); }
};

QAccessibleInterface *factory(const QString &className, QObject *object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("rig::StatusPictureWidget"))
        return new StatusPictureAccessible(static_cast<StatusPictureWidget *>(object));
    // A plain widget would be a "filler"; the rig's only window is a window.
    if (className == QLatin1String("rig::Form1"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

}  // namespace rig
