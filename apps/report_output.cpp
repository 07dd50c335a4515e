#include "report_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "headless_host.h"

namespace apps {

namespace {

// A regular file that is not also where standard error goes: taking it back would erase
// the diagnostics of the passes before.
bool canTakeBack(int fd) {
    struct stat file {};
    struct stat errors {};
    if (fstat(fd, &file) != 0 || !S_ISREG(file.st_mode))
        return false;
    return fstat(STDERR_FILENO, &errors) != 0 || errors.st_dev != file.st_dev ||
           errors.st_ino != file.st_ino;
}

}  // namespace

ReportOutput::ReportOutput(bool keepCrLf, std::function<void(const QString &)> show)
    : keepCrLf_(keepCrLf), show_(std::move(show)) {}

ReportOutput::~ReportOutput() {
    if (ownsFd_)
        ::close(fd_);
}

void ReportOutput::useStandardOutput(bool closed) {
    name_ = QStringLiteral("standard output");
    fd_ = STDOUT_FILENO;
    if (closed) {
        fd_ = -1;  // the first write fails as it would have on the closed descriptor
        return;
    }
    if (!canTakeBack(fd_))
        return;
    const int flags = fcntl(fd_, F_GETFL);
    // An appending descriptor writes at the end whatever its offset says: the report
    // begins where the file ends now.
    start_ = flags != -1 && (flags & O_APPEND) ? lseek(fd_, 0, SEEK_END) : lseek(fd_, 0, SEEK_CUR);
    seekable_ = start_ >= 0;
}

void ReportOutput::useFile(const QString &path) {
    name_ = path;
    fd_ =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        fail(errno);
        return;
    }
    ownsFd_ = true;
    seekable_ = canTakeBack(fd_);
}

void ReportOutput::write(QStringView lines) {
    if (failed_ || lines.isEmpty())
        return;
    const QByteArray bytes = rig::reportFileText(lines.toString(), keepCrLf_).toUtf8();
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n =
            ::write(fd_, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(n < 0 ? errno : EIO);
            return;
        }
        done += n;
    }
    written_ = true;
}

void ReportOutput::restart() {
    if (failed_ || !seekable_ || !written_)
        return;
    if (ftruncate(fd_, start_) != 0 || lseek(fd_, start_, SEEK_SET) < 0)
        fail(errno);
    written_ = false;
}

void ReportOutput::fail(int error) {
    failed_ = true;
    show_(QStringLiteral("testbed-report: cannot write ") + name_ + QStringLiteral(": ") +
          QString::fromLocal8Bit(std::strerror(error != 0 ? error : EIO)));
}

}  // namespace apps
