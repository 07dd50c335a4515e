// The four run buttons: one pass, or 10, 100 or 1000 passes in a row that a second press of
// the same button stops after the pass in progress.
#pragma once

#include <functional>

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

    bool running() const { return running_; }
    bool stopRequested() const { return stop_; }
    // Error lines written by all passes so far.
    int errorLines() const { return errorLines_; }

  private:
    void runPass();

    suite::Host &host_;
    RunButtons &buttons_;
    Pass pass_;
    bool running_ = false;
    bool stop_ = false;
    int errorLines_ = 0;
};

}  // namespace rig
