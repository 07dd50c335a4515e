// The one line testbed-report --passes keeps rewritten on a terminal: pass k of N, the time
// gone and the time left, and the failures so far. Nothing of it reaches a file or a pipe.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <mutex>

namespace apps {

class ProgressLine {
  public:
    // Shown only when standard error is a terminal and the report does not go to it too.
    ProgressLine(int passes, bool reportToTerminal);

    void passDone(int pass, int failures);
    // Every other line for standard error goes through here, so the progress line never
    // breaks one: it is erased first and drawn again after.
    void writeLine(const QByteArray &line);
    // Erases the line for good.
    void finish();

  private:
    void draw();  // with mutex_ held

    std::mutex mutex_;
    QElapsedTimer clock_;
    QByteArray shown_;
    int passes_;
    int done_ = 0;
    int failures_ = 0;
    bool enabled_;
};

}  // namespace apps
