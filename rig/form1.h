// Form1, the rig's only window: the report console, the status picture, the input box and
// the eight buttons. The routines it runs live in rigcore; the window only wires them up.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>

#include "host.h"
#include "reportconsole.h"
#include "run.h"
#include "runloops.h"
#include "shell.h"
#include "statuspicture_widget.h"
#include "windowwatch.h"

namespace rig {

class Form1 final : public QWidget, public suite::Host, public RunButtons {
    Q_OBJECT
  public:
    // Opens the address in a web browser. Returns false when none can be started at once;
    // `failedLater` is called should the browser fail after being started.
    using UrlOpener = std::function<bool(const QUrl &, std::function<void()> failedLater)>;
    using MessagePresenter =
        std::function<void(const QString &prompt, const QString &title, suite::MessageIcon)>;
    // Shows a run's error box; returns true when the user chose to go on without boxes.
    using ErrorBoxPresenter = std::function<bool(const QString &line)>;
    // Ends the program at once with the given exit status.
    using Terminator = std::function<void(int status)>;

    explicit Form1(RunController::Pass pass = &suite::RunAllTests, QWidget *parent = nullptr);

    // Loading the window: the base caption, then the start-up check.
    void Form_Load();

    // Replacements for the parts that leave the program, for tests.
    void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }
    void setMessagePresenter(MessagePresenter presenter) { presentMessage_ = std::move(presenter); }
    void setErrorBoxPresenter(ErrorBoxPresenter presenter) { presentError_ = std::move(presenter); }
    void setTerminator(Terminator terminator) { terminate_ = std::move(terminator); }

    RunController &runs() { return runs_; }
    ReportConsole *reportConsole() const { return txtOut_; }
    StatusPictureWidget *statusPicture() const { return out_; }
    // How much larger than its twips the window is laid out: 1 where every caption fits
    // them, more for a larger font, less on a screen too small.
    double layoutScale() const { return scale_; }

    // ---- suite::Host ----
    void Printf(const QString &text) override;
    suite::StatusPicture &status() override { return *out_; }
    void messageBox(const QString &prompt, const QString &title, suite::MessageIcon icon) override;
    void errorBox(const QString &line, bool repeat) override;
    QString inputText() override;
    void setInputText(const QString &text) override;
    void repaintInput() override;
    void setReportVisible(bool visible) override;
    void clearReport() override;
    void repaintReport() override;
    void repaintAndPumpEvents() override;
    QString caption() override { return windowTitle(); }
    void setCaption(const QString &caption) override { setWindowTitle(caption); }

    // ---- RunButtons ----
    void setRunButtonEnabled(RunButton button, bool enabled) override;
    QString runButtonCaption(RunButton button) override;
    void setRunButtonCaption(RunButton button, const QString &caption) override;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

  private:
    void createControls();
    void describeControls();
    void createShortcuts();
    // Lays the window out for its font and screen, and centres it there.
    void placeControls();
    // The scale at which every caption fits its control with the controls' fonts at
    // `textScale` times the window's font.
    double scaleForCaptions(double textScale) const;
    void centreOnScreen();
    // One pass, and then its number of errors on the status picture.
    int passWithErrorCount(const RunController::Pass &pass);
    void openSite();
    void focusFirstControl();
    // The focused control that gets a mark drawn round it, if any.
    QWidget *markedControl() const;
    QPushButton *runButton(RunButton button) const;

    void Command1_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Out_Click();
    void cmdOnce_Click();
    void repeat_Click(RunButton button);

    QPushButton *cmdTest1000_ = nullptr;
    QPushButton *cmdTest100_ = nullptr;
    QPushButton *cmdTenTimes_ = nullptr;
    QLabel *PicHidden_ = nullptr;
    QPushButton *Command5_ = nullptr;
    QPushButton *Command4_ = nullptr;
    QLineEdit *txtIn_ = nullptr;
    ReportConsole *txtOut_ = nullptr;
    QPushButton *Command3_ = nullptr;
    StatusPictureWidget *out_ = nullptr;
    QPushButton *cmdOnce_ = nullptr;
    QPushButton *Command1_ = nullptr;
    QLabel *Label1_ = nullptr;

    RunController runs_;
    double scale_ = 1.0;
    bool placing_ = false;
    bool quietErrors_ = false;  // the user chose to go on without error boxes
    bool shown_ = false;
    int boxesOpen_ = 0;  // message boxes open, nested ones included
    std::unique_ptr<WindowWatch> watch_;
    UrlOpener openUrl_;
    MessagePresenter presentMessage_;
    ErrorBoxPresenter presentError_;
    Terminator terminate_;
};

}  // namespace rig
