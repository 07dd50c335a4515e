#include "form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <cstdlib>

#include "checklibrary.h"
#include "layout.h"
#include "statuscaption.h"

// The icon and the About picture live in this static library's resources, which the linker
// would drop unless something refers to them.
static void loadRigResources() {
    Q_INIT_RESOURCE(rig);
}

namespace rig {

namespace {

struct Placement {
    const char *name;
    int left, top, width, height;
};

// Positions and sizes in twips, relative to the client area.
constexpr Placement placements[] = {
    {"cmdTest1000", 4425, 6270, 1125, 495}, {"cmdTest100", 3075, 6270, 1125, 495},
    {"cmdTenTimes", 1740, 6270, 1125, 495}, {"PicHidden", 12240, 1200, 615, 495},
    {"Command5", 7590, 6270, 1125, 495},    {"Command4", 8940, 6270, 1125, 495},
    {"txtIn", 600, 2160, 10935, 375},       {"txtOut", 120, 2520, 11655, 3615},
    {"Command3", 6255, 6270, 1125, 495},    {"Out", 120, 0, 11655, 2055},
    {"cmdOnce", 390, 6270, 1125, 495},      {"Command1", 10290, 6270, 1125, 495},
    {"Label1", 120, 2160, 375, 255},
};

// Controls in their tab order; those that take no focus are passed over by the toolkit.
constexpr const char *tabOrder[] = {
    "Command1", "cmdOnce",  "Out",       "Command3",    "txtOut",     "txtIn",       "Label1",
    "Command4", "Command5", "PicHidden", "cmdTenTimes", "cmdTest100", "cmdTest1000",
};

// The mark round the focused control, bright on the dark window.
constexpr QRgb FOCUS_MARK_COLOUR = qRgb(255, 215, 0);

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

Form1::Form1(RunController::Pass pass, QWidget *parent)
    : QWidget(parent), runs_(*this, *this, std::move(pass)) {
    loadRigResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(DESIGN_CAPTION);
    setWindowIcon(QIcon(QStringLiteral(":/rig/icon.png")));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(background);

    openUrl_ = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    terminate_ = [](int status) { std::_Exit(status); };

    createControls();
    placeControls();
    centreOnScreen();

    // A close request is dropped by the toolkit while a message box blocks the window, and a
    // window destroyed by another program is not reported at all; both must end the program.
    // The dropped request goes to closeEvent directly: close() would take the toolkit's path
    // and be dropped again.
    watch_ = std::make_unique<WindowWatch>(
        *this,
        [this] {
            QCloseEvent request;
            QCoreApplication::sendEvent(this, &request);
        },
        [this] { terminate_(0); });
}

void Form1::createControls() {
    cmdTest1000_ = makeButton(this, "cmdTest1000", QStringLiteral("&Do it x 1000"));
    cmdTest100_ = makeButton(this, "cmdTest100", QStringLiteral("&Do it x 100"));
    cmdTenTimes_ = makeButton(this, "cmdTenTimes", QStringLiteral("&Do it x 10"));

    PicHidden_ = new QLabel(this);
    PicHidden_->setObjectName(QStringLiteral("PicHidden"));
    PicHidden_->setPixmap(QPixmap(QStringLiteral(":/rig/about.jpg")));
    PicHidden_->setVisible(false);

    Command5_ = makeButton(this, "Command5", QStringLiteral("&About"));
    Command4_ = makeButton(this, "Command4", QStringLiteral("&Website"));

    txtIn_ = new QLineEdit(this);
    txtIn_->setObjectName(QStringLiteral("txtIn"));

    txtOut_ = new ReportConsole(this);
    txtOut_->setObjectName(QStringLiteral("txtOut"));

    Command3_ = makeButton(this, "Command3", QStringLiteral("&Version"));

    out_ = new StatusPictureWidget(this);
    out_->setObjectName(QStringLiteral("Out"));

    cmdOnce_ = makeButton(this, "cmdOnce", QStringLiteral("&Do it!!"));
    Command1_ = makeButton(this, "Command1", QStringLiteral("&Exit"));

    Label1_ = new QLabel(QStringLiteral("QBF"), this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    // The label stands on the dark window; its text must stay readable there.
    QPalette label = Label1_->palette();
    label.setColor(QPalette::WindowText, Qt::white);
    Label1_->setPalette(label);

    QWidget *previous = nullptr;
    for (const char *name : tabOrder) {
        auto *widget = findChild<QWidget *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
        // The toolkit's chain holds only what can take focus (not the label or the picture).
        if (!widget || !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }

    // The style's own focus mark is faint or absent on this dark window; the window draws
    // one of its own round the focused control.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if ((old && old->parentWidget() == this) || (now && now->parentWidget() == this))
            update();
    });

    connect(Command1_, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command3_, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4_, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5_, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(out_, &StatusPictureWidget::clicked, this, [this] { Out_Click(); });
    connect(cmdOnce_, &QPushButton::clicked, this, [this] { cmdOnce_Click(); });
    connect(cmdTenTimes_, &QPushButton::clicked, this, [this] { repeat_Click(RunButton::Ten); });
    connect(cmdTest100_, &QPushButton::clicked, this, [this] { repeat_Click(RunButton::Hundred); });
    connect(cmdTest1000_, &QPushButton::clicked, this,
            [this] { repeat_Click(RunButton::Thousand); });
}

void Form1::placeControls() {
    const QScreen *display = screen();
    const double dpiX = display ? display->logicalDotsPerInchX() : 96.0;
    const double dpiY = display ? display->logicalDotsPerInchY() : 96.0;
    for (const Placement &place : placements) {
        auto *widget = findChild<QWidget *>(QLatin1String(place.name), Qt::FindDirectChildrenOnly);
        if (!widget)
            continue;
        widget->setGeometry(twipsToPixels(place.left, dpiX), twipsToPixels(place.top, dpiY),
                            twipsToPixels(place.width, dpiX), twipsToPixels(place.height, dpiY));
    }
    setFixedSize(twipsToPixels(FORM_WIDTH_TWIPS, dpiX), twipsToPixels(FORM_HEIGHT_TWIPS, dpiY));
}

void Form1::centreOnScreen() {
    const QScreen *display = screen();
    if (!display)
        return;
    QRect area = geometry();
    area.moveCenter(display->availableGeometry().center());
    move(area.topLeft());
}

void Form1::focusFirstControl() {
    for (const char *name : tabOrder) {
        auto *widget = findChild<QWidget *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
        if (widget && (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
            widget->isVisibleTo(this)) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

QWidget *Form1::markedControl() const {
    QWidget *focused = focusWidget();
    // The text boxes show their caret instead.
    if (!focused || !focused->hasFocus() || qobject_cast<QLineEdit *>(focused) ||
        focused == txtOut_)
        return nullptr;
    return focused;
}

void Form1::Form_Load() {
    skipOnError([&] { ShowStatusCaption(*this, QString()); });
    skipOnError([&] { CheckLibrary(*this, runs_.checkedButtons(), [this] { terminate_(2); }); });
}

// ---- suite::Host -------------------------------------------------------------------------

void Form1::Printf(const QString &text) {
    skipOnError([&] { txtOut_->printf(text); });
}

void Form1::messageBox(const QString &prompt, const QString &title, suite::MessageIcon icon) {
    ++boxesOpen_;
    const auto closed = qScopeGuard([this] { --boxesOpen_; });
    if (presentMessage_) {
        presentMessage_(prompt, title, icon);
        return;
    }
    QMessageBox box(
        icon == suite::MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::Information,
        title, prompt, QMessageBox::Ok, isVisible() ? this : nullptr);
    box.exec();
}

QString Form1::inputText() {
    return txtIn_->text();
}

void Form1::setInputText(const QString &text) {
    txtIn_->setText(text);
}

void Form1::repaintInput() {
    txtIn_->repaint();
}

void Form1::setReportVisible(bool visible) {
    txtOut_->setReportVisible(visible);
}

void Form1::clearReport() {
    txtOut_->clearReport();
}

void Form1::repaintReport() {
    txtOut_->repaint();
}

void Form1::repaintAndPumpEvents() {
    repaint();
    out_->repaint();
    QCoreApplication::processEvents();
}

// ---- RunButtons --------------------------------------------------------------------------

QPushButton *Form1::runButton(RunButton button) const {
    switch (button) {
        case RunButton::Once:
            return cmdOnce_;
        case RunButton::Ten:
            return cmdTenTimes_;
        case RunButton::Hundred:
            return cmdTest100_;
        case RunButton::Thousand:
            break;
    }
    return cmdTest1000_;
}

void Form1::setRunButtonEnabled(RunButton button, bool enabled) {
    runButton(button)->setEnabled(enabled);
}

QString Form1::runButtonCaption(RunButton button) {
    return runButton(button)->text();
}

void Form1::setRunButtonCaption(RunButton button, const QString &caption) {
    runButton(button)->setText(caption);
}

// ---- Events ------------------------------------------------------------------------------

void Form1::Command1_Click() {
    terminate_(0);
}

void Form1::Command3_Click() {
    CheckLibrary(*this, runs_.checkedButtons(), [this] { terminate_(2); });
}

void Form1::Command4_Click() {
    openUrl_(QUrl(DOWNLOAD_URL));
}

void Form1::Out_Click() {
    openUrl_(QUrl(DOWNLOAD_URL));
}

void Form1::Command5_Click() {
    // The picture replaces the printed lines rather than sitting under them; the next check
    // or run clears it again.
    out_->clear();
    out_->setPicture(PicHidden_->pixmap());
}

void Form1::cmdOnce_Click() {
    runs_.onceClicked();
}

void Form1::repeat_Click(RunButton button) {
    runs_.repeatClicked(button);
}

void Form1::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // The focus starts on the first control of the tab order that can take it.
    if (!shown_) {
        shown_ = true;
        focusFirstControl();
    }
}

void Form1::paintEvent(QPaintEvent *event) {
    QWidget::paintEvent(event);
    const QWidget *marked = markedControl();
    if (!marked)
        return;
    // A band two pixels wide, one pixel clear of the control, on the window's background.
    const QRect inner = marked->geometry().adjusted(-1, -1, 1, 1);
    const QRect outer = inner.adjusted(-2, -2, 2, 2);
    QPainter painter(this);
    painter.setClipRegion(QRegion(outer).subtracted(QRegion(inner)));
    painter.fillRect(outer, QColor(FOCUS_MARK_COLOUR));
}

void Form1::closeEvent(QCloseEvent *event) {
    // Closed while a run is busy or a message box is open (both pump events from inside): the
    // run cannot be left half way, and a loop must not go on invisibly, so the program ends
    // at once.
    if (runs_.busy() || boxesOpen_ > 0) {
        event->accept();
        terminate_(0);
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace rig
