#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStandardPaths>
#include <QStyleOptionButton>
#include <QWindow>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "accessibility.h"
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

// Controls in their tab order, which is the reading order: the input box, the report, the
// buttons from left to right and the status picture last. Those that take no focus are
// passed over.
constexpr const char *tabOrder[] = {
    "txtIn",    "txtOut",   "cmdOnce",  "cmdTenTimes", "cmdTest100", "cmdTest1000",
    "Command3", "Command5", "Command4", "Command1",    "Out",
};

// What each control does, for screen readers.
struct Description {
    const char *name;            // object name
    const char *accessibleName;  // nullptr: the control's own caption
    const char *description;
};
constexpr Description descriptions[] = {
    {"cmdOnce", nullptr, "Runs every test once and shows the report (Alt+D)"},
    {"cmdTenTimes", nullptr,
     "Runs every test 10 times in a row; press again or Escape to stop after the current pass "
     "(Alt+1)"},
    {"cmdTest100", nullptr,
     "Runs every test 100 times in a row; press again or Escape to stop after the current "
     "pass (Alt+0)"},
    {"cmdTest1000", nullptr,
     "Runs every test 1000 times in a row; press again or Escape to stop after the current "
     "pass (Alt+T)"},
    {"Command3", nullptr, "Checks the library again and resets the sample text (Alt+V)"},
    {"Command5", nullptr, "Shows the About picture on the status picture (Alt+A)"},
    {"Command4", nullptr, "Opens the library's download site in a web browser (Alt+W)"},
    {"Command1", nullptr, "Ends the program at once (Alt+E)"},
    {"txtIn", "QBF sample text", "The sample text that a run passes to the text functions (Alt+Q)"},
    {"txtOut", "Report", "What the last run wrote, one line per call (Alt+R)"},
    {"Out", "Status",
     "The library check and the speed loop results; Enter opens the library's download site "
     "(Alt+S)"},
    {"Label1", nullptr, "Label of the sample text"},
    {"PicHidden", "About picture", "Holds the picture that About shows"},
};

// The mark round the focused control, bright on the dark window.
constexpr QRgb FOCUS_MARK_COLOUR = qRgb(255, 215, 0);

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    // Return and Enter press it too (Form1::eventFilter).
    button->installEventFilter(parent);
    return button;
}

// Room for the window manager's frame round the window, until the real frame is known.
constexpr int FRAME_RESERVE_WIDTH = 16;
constexpr int FRAME_RESERVE_HEIGHT = 48;

// The smallest text scale tried when the window must shrink below its twips to fit a small
// screen.
constexpr double SMALLEST_TEXT_SCALE = 0.4;

}  // namespace

Form1::Form1(RunController::Pass pass, QWidget *parent)
    : QWidget(parent), runs_(*this, *this, [this, pass = std::move(pass)](suite::Host &) {
          return passWithErrorCount(pass);
      }) {
    loadRigResources();
    installAccessibility();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(DESIGN_CAPTION);
    setWindowIcon(QIcon(QStringLiteral(":/rig/icon.png")));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(background);

    openUrl_ = [](const QUrl &url, std::function<void()> failedLater) {
        // xdg-open starts whatever browser the desktop names, and says when there is none.
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty())
            return QDesktopServices::openUrl(url);
        // Unparented: the browser it starts may outlive the window.
        auto *process = new QProcess;
        QObject::connect(process, &QProcess::finished, process,
                         [process, failedLater](int code, QProcess::ExitStatus status) {
                             if (status != QProcess::NormalExit || code != 0)
                                 failedLater();
                             process->deleteLater();
                         });
        process->start(opener, {url.toString()});
        if (process->waitForStarted())
            return true;
        delete process;
        return false;
    };
    terminate_ = [](int status) { std::_Exit(status); };

    createControls();
    describeControls();
    createShortcuts();
    placeControls();

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
    cmdTest1000_ = makeButton(this, "cmdTest1000", THOUSAND_CAPTION);
    cmdTest100_ = makeButton(this, "cmdTest100", HUNDRED_CAPTION);
    cmdTenTimes_ = makeButton(this, "cmdTenTimes", TEN_CAPTION);

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

    cmdOnce_ = makeButton(this, "cmdOnce", ONCE_CAPTION);
    Command1_ = makeButton(this, "Command1", QStringLiteral("&Exit"));

    // Alt+Q goes to the input box, and screen readers read the label with it.
    Label1_ = new QLabel(QStringLiteral("&QBF"), this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setBuddy(txtIn_);
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

void Form1::describeControls() {
    for (const Description &entry : descriptions) {
        auto *widget = findChild<QWidget *>(QLatin1String(entry.name), Qt::FindDirectChildrenOnly);
        if (!widget)
            continue;
        if (entry.accessibleName)
            widget->setAccessibleName(QLatin1String(entry.accessibleName));
        widget->setAccessibleDescription(QLatin1String(entry.description));
    }
    setAccessibleDescription(
        QStringLiteral("Calls the qorlib145 library's functions with sample "
                       "values and reports what they return"));
    txtOut_->horizontalScrollBar()->setAccessibleName(QStringLiteral("Report, across"));
    txtOut_->horizontalScrollBar()->setAccessibleDescription(
        QStringLiteral("Scrolls the report's long lines"));
    txtOut_->verticalScrollBar()->setAccessibleName(QStringLiteral("Report, up and down"));
    txtOut_->verticalScrollBar()->setAccessibleDescription(
        QStringLiteral("Scrolls through the report's lines"));
}

void Form1::createShortcuts() {
    // The two controls without a caption of their own get their Alt keys here.
    auto *toReport = new QShortcut(QKeySequence(QStringLiteral("Alt+R")), this);
    connect(toReport, &QShortcut::activated, this,
            [this] { txtOut_->setFocus(Qt::ShortcutFocusReason); });
    auto *toStatus = new QShortcut(QKeySequence(QStringLiteral("Alt+S")), this);
    connect(toStatus, &QShortcut::activated, this,
            [this] { out_->setFocus(Qt::ShortcutFocusReason); });
    // Escape stops a loop after its current pass, as a second press of its button does.
    auto *stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(stop, &QShortcut::activated, this, [this] { runs_.requestStop(); });
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        auto *button = qobject_cast<QAbstractButton *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        if (button && button->isEnabled() &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !(key->modifiers() & ~Qt::KeypadModifier)) {
            button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

double Form1::scaleForCaptions(double textScale) const {
    const QScreen *display = screen();
    const double dpiX = display ? display->logicalDotsPerInchX() : 96.0;
    const double dpiY = display ? display->logicalDotsPerInchY() : 96.0;
    QFont text = font();
    text.setPointSizeF(text.pointSizeF() * textScale);
    const QFontMetricsF metrics(text);
    // A caption keeps the width of a space clear on either side.
    const double clear = 2 * metrics.horizontalAdvance(u' ');
    double scale = 0;
    for (const Placement &place : placements) {
        auto *widget = findChild<QWidget *>(QLatin1String(place.name), Qt::FindDirectChildrenOnly);
        const double width = twipsToPixels(place.width, dpiX);
        const double height = twipsToPixels(place.height, dpiY);
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            // The style's frame and padding round the caption, at the design size.
            QStyleOptionButton option;
            option.initFrom(button);
            option.rect = QRect(0, 0, static_cast<int>(width), static_cast<int>(height));
            const QRect inside =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            const double frameX = width - inside.width();
            const double frameY = height - inside.height();
            const QString caption = QString(button->text()).remove(u'&');
            scale = std::max({scale, (metrics.horizontalAdvance(caption) + clear + frameX) / width,
                              (metrics.height() + frameY) / height});
        } else if (widget == Label1_) {
            const QString caption = QString(Label1_->text()).remove(u'&');
            scale = std::max(
                {scale, metrics.horizontalAdvance(caption) / width, metrics.height() / height});
        } else if (widget == txtIn_) {
            // The line edit's own frame and margins round one line of text.
            const double frame =
                txtIn_->sizeHint().height() - QFontMetricsF(txtIn_->font()).height();
            scale = std::max(scale, (metrics.height() + frame) / height);
        }
    }
    return scale;
}

void Form1::placeControls() {
    if (placing_)
        return;
    placing_ = true;
    const auto done = qScopeGuard([this] { placing_ = false; });
    const QScreen *display = screen();
    const double dpiX = display ? display->logicalDotsPerInchX() : 96.0;
    const double dpiY = display ? display->logicalDotsPerInchY() : 96.0;
    const QSizeF form(twipsToPixels(FORM_WIDTH_TWIPS, dpiX),
                      twipsToPixels(FORM_HEIGHT_TWIPS, dpiY));

    // The twips are the layout wherever every caption fits them; a larger font makes the
    // whole window larger until each fits with a space either side (Qt's default 9 pt
    // DejaVu Sans already needs 11% more). Where that would not fit the screen, the window
    // takes the screen's available area and its text shrinks until the captions fit.
    double scale = std::max(1.0, scaleForCaptions(1.0));
    double textScale = 1.0;
    if (display) {
        QSize frame(FRAME_RESERVE_WIDTH, FRAME_RESERVE_HEIGHT);
        if (isVisible() && frameGeometry().size() != size())
            frame = frameGeometry().size() - size();
        const QSize room = display->availableGeometry().size() - frame;
        const double largest = std::min(room.width() / form.width(), room.height() / form.height());
        if (scale > largest) {
            scale = largest;
            while (textScale > SMALLEST_TEXT_SCALE && scaleForCaptions(textScale) > scale)
                textScale -= 0.05;
        }
    }
    scale_ = scale;

    const auto pixels = [&](int twips, double dpi) {
        return static_cast<int>(std::lround(twipsToPixels(twips, dpi) * scale));
    };
    const auto pixelsAt = [&](int twips, double dpi) {
        return static_cast<int>(std::lround(twips * dpi / 1440.0 * scale));
    };
    for (const Placement &place : placements) {
        auto *widget = findChild<QWidget *>(QLatin1String(place.name), Qt::FindDirectChildrenOnly);
        if (!widget)
            continue;
        if (scale == 1.0) {
            widget->setGeometry(pixels(place.left, dpiX), pixels(place.top, dpiY),
                                pixels(place.width, dpiX), pixels(place.height, dpiY));
        } else {
            // Edges rounded on their own, so that neighbours keep their gaps.
            const int left = pixelsAt(place.left, dpiX);
            const int top = pixelsAt(place.top, dpiY);
            widget->setGeometry(left, top, pixelsAt(place.left + place.width, dpiX) - left,
                                pixelsAt(place.top + place.height, dpiY) - top);
        }
    }
    // The controls that take the window's font shrink with it only on a screen too small.
    for (QWidget *control : std::initializer_list<QWidget *>{
             cmdTest1000_, cmdTest100_, cmdTenTimes_, Command5_, Command4_, txtIn_, Command3_,
             cmdOnce_, Command1_, Label1_}) {
        if (textScale < 1.0) {
            QFont smaller = font();
            smaller.setPointSizeF(font().pointSizeF() * textScale);
            control->setFont(smaller);
        } else {
            control->setFont(QFont());  // the window's own again
        }
    }
    txtOut_->setScale(scale);
    out_->setScale(scale);
    setFixedSize(pixels(FORM_WIDTH_TWIPS, dpiX), pixels(FORM_HEIGHT_TWIPS, dpiY));
    centreOnScreen();
}

void Form1::centreOnScreen() {
    const QScreen *display = screen();
    if (!display)
        return;
    const QRect available = display->availableGeometry();
    QRect area = frameGeometry();
    area.moveCenter(available.center());
    // A frame larger than the room left still keeps the window's top left corner on screen.
    area.moveLeft(std::max(area.left(), available.left()));
    area.moveTop(std::max(area.top(), available.top()));
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
    // A box that ends the program also leaves its reason where a terminal or a log keeps it.
    if (icon == suite::MessageIcon::Critical) {
        const QString line = QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        std::fprintf(stderr, "testbed: %s: %s\n", qUtf8Printable(title), qUtf8Printable(line));
        std::fflush(stderr);
    }
    ++boxesOpen_;
    const auto closed = qScopeGuard([this] { --boxesOpen_; });
    if (presentMessage_) {
        presentMessage_(prompt, title, icon);
        return;
    }
    QMessageBox box(
        icon == suite::MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::Information,
        title, prompt, QMessageBox::Ok, isVisible() ? this : nullptr);
    // The text can be copied: an error line, a path, the site's address.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

void Form1::errorBox(const QString &line, bool repeat) {
    // Every error line is in the report already; the boxes only ask the user to read it.
    if (repeat || quietErrors_)
        return;
    ++boxesOpen_;
    const auto closed = qScopeGuard([this] { --boxesOpen_; });
    if (presentError_) {
        quietErrors_ = presentError_(line);
        return;
    }
    if (presentMessage_) {
        presentMessage_(line, suite::ERROR_BOX_TITLE, suite::MessageIcon::Information);
        return;
    }
    QMessageBox box(QMessageBox::Information, suite::ERROR_BOX_TITLE, line, QMessageBox::Ok,
                    isVisible() ? this : nullptr);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    QPushButton *quiet =
        box.addButton(QStringLiteral("Go on &without boxes"), QMessageBox::ActionRole);
    quiet->setAccessibleDescription(
        QStringLiteral("The rest of this run writes its errors to the report without a box"));
    box.exec();
    quietErrors_ = box.clickedButton() == quiet;
}

int Form1::passWithErrorCount(const RunController::Pass &pass) {
    const int errors = pass(*this);
    // In the warning colour when there were errors.
    skipOnError([&] { out_->setColor(errors > 0 ? 12 : 0); });
    skipOnError([&] { out_->setBold(errors > 0); });
    skipOnError([&] { out_->print({errorCountLine(errors)}); });
    return errors;
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

void Form1::openSite() {
    const auto noBrowser = [this] {
        messageBox(noBrowserMessage(), WEBSITE_TITLE, suite::MessageIcon::Information);
    };
    if (!openUrl_(QUrl(DOWNLOAD_URL), noBrowser))
        noBrowser();
}

void Form1::Command4_Click() {
    openSite();
}

void Form1::Out_Click() {
    openSite();
}

void Form1::Command5_Click() {
    // The picture replaces the printed lines rather than sitting under them; the next check
    // or run clears it again.
    out_->clear();
    out_->setPicture(PicHidden_->pixmap());
}

void Form1::cmdOnce_Click() {
    // A new run asks again; a press delivered inside a run belongs to that run.
    if (!runs_.busy())
        quietErrors_ = false;
    runs_.onceClicked();
}

void Form1::repeat_Click(RunButton button) {
    if (!runs_.busy())
        quietErrors_ = false;
    runs_.repeatClicked(button);
}

void Form1::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // The focus starts on the first control of the tab order that can take it.
    if (!shown_) {
        shown_ = true;
        focusFirstControl();
        // Moved to a screen of another size or scale, the window is laid out again.
        connect(windowHandle(), &QWindow::screenChanged, this, [this] { placeControls(); });
    }
}

void Form1::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        placeControls();
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
