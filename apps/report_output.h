// Where testbed-report writes its report, line by line as the run completes the lines, so
// that a process killed during a pass leaves every line written before.
#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringView>
#include <functional>

namespace apps {

class ReportOutput {
  public:
    // `show` receives the one message about a failed write; later writes are dropped.
    ReportOutput(bool keepCrLf, std::function<void(const QString &)> show);
    ~ReportOutput();
    ReportOutput(const ReportOutput &) = delete;
    ReportOutput &operator=(const ReportOutput &) = delete;

    // Standard output, from the offset it has now. `closed`: the caller closed it, and the
    // descriptor is only held on /dev/null.
    void useStandardOutput(bool closed);
    // Creates FILE, or empties it.
    void useFile(const QString &path);

    // Complete lines (each ending in CR LF) or, at the end, the last line still open.
    void write(QStringView lines);
    // The report was cleared for a new pass. A regular file is taken back to where the
    // report began, so it ends holding the last pass as the window would; a pipe, a
    // terminal or the file standard error goes to as well cannot be, and receives every
    // pass in turn.
    void restart();

    bool failed() const { return failed_; }

  private:
    void fail(int error);

    bool keepCrLf_;
    std::function<void(const QString &)> show_;
    QString name_;
    int fd_ = -1;
    bool ownsFd_ = false;
    bool seekable_ = false;
    off_t start_ = 0;
    bool written_ = false;
    bool failed_ = false;
};

}  // namespace apps
