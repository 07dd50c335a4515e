// The four run buttons: one pass, or 10, 100 or 1000 passes in a row that a second press of
// the same button stops after the pass in progress.
#pragma once

#include <functional>
#include <optional>

#include "host.h"
#include "shell.h"

namespace rig {

class RunController {
  public:
    // One pass of the test routine; returns the number of error lines it wrote.
    using Pass = std::function<int(suite::Host &)>;

    RunController(suite::Host &host, RunButtons &buttons, Pass pass);

    // The Click of "&Do it!!".
    void onceClicked();
    // The Click of a repeat button (Ten, Hundred or Thousand). While a loop runs, it only asks
    // that loop to stop after its current pass.
    void repeatClicked(RunButton active);
    // The loop behind a repeat button, with any count (the headless program's --passes).
    void runRepeated(RunButton active, int count);

    static int passesOf(RunButton button);

    // Asks a loop in progress to stop after its current pass (Escape); does nothing when idle.
    void requestStop() {
        if (running_)
            stop_ = true;
    }

    // The run buttons as the start-up check should set them. The check may run in the middle
    // of a run (Version pressed while the run pumps events): the buttons then stay as the run
    // set them, and when the run ends they follow the check's last verdict.
    RunButtons &checkedButtons() { return checked_; }

    // A single run or a loop is in progress.
    bool busy() const { return depth_ > 0; }
    bool running() const { return running_; }
    bool stopRequested() const { return stop_; }
    // Error lines written by all passes so far.
    int errorLines() const { return errorLines_; }

  private:
    class CheckedButtons final : public RunButtons {
      public:
        explicit CheckedButtons(RunController &runs) : runs_(runs) {}
        void setRunButtonEnabled(RunButton button, bool enabled) override;
        QString runButtonCaption(RunButton button) override;
        void setRunButtonCaption(RunButton button, const QString &caption) override;

      private:
        RunController &runs_;
    };

    void runPass();
    // The buttons a run disabled come back as the check last left them (enabled when no
    // check has spoken); the active one too, should the check have disabled it meanwhile.
    void restoreButtons(RunButton active);

    suite::Host &host_;
    RunButtons &buttons_;
    Pass pass_;
    CheckedButtons checked_{*this};
    std::optional<bool> verdict_[4];  // per RunButton, as the check last set it
    int depth_ = 0;                   // run handlers in progress, nested ones included
    bool running_ = false;
    bool stop_ = false;
    int errorLines_ = 0;
};

}  // namespace rig
