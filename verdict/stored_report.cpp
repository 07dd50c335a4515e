#include "stored_report.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <new>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace verdict {

namespace {

QString tooLarge() {
    return QStringLiteral("it holds more than %1 MiB, the most a stored run may have")
        .arg(MAX_STORED_BYTES >> 20);
}

}  // namespace

#if !defined(_WIN32)
bool readStoredFile(const QString &path, QByteArray *bytes, QString *error) {
    // Opened without waiting, so a FIFO with no writer cannot hold the run; what it is
    // comes from the descriptor, so nothing can swap the file after the check.
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat status {};
    QString reason;
    if (fstat(fd, &status) != 0)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    else if (S_ISDIR(status.st_mode))
        reason = QStringLiteral("it is a folder");
    else if (!S_ISREG(status.st_mode))
        reason = QStringLiteral("it is not a regular file (a pipe, a device or a socket)");
    else if (status.st_size > MAX_STORED_BYTES)
        reason = tooLarge();
    if (reason.isEmpty()) {
        // The size may change while it is read: never more than the limit and one byte.
        try {
            bytes->resize(static_cast<qsizetype>(status.st_size) + 1);
        } catch (const std::bad_alloc &) {
            reason = QStringLiteral("not enough memory to read it");
        }
        qsizetype filled = 0;
        while (reason.isEmpty()) {
            if (filled == bytes->size()) {
                if (filled > MAX_STORED_BYTES) {
                    reason = tooLarge();
                    break;
                }
                bytes->resize(std::min<qsizetype>(2 * filled + 4096, MAX_STORED_BYTES + 1));
            }
            const ssize_t got = ::read(fd, bytes->data() + filled,
                                       static_cast<std::size_t>(bytes->size() - filled));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                reason = QString::fromLocal8Bit(std::strerror(errno));
            else if (got == 0)
                break;
            filled += got;
        }
        bytes->resize(filled);
    }
    close(fd);
    if (reason.isEmpty() && bytes->isEmpty())
        reason = QStringLiteral("it is empty");
    if (!reason.isEmpty()) {
        bytes->clear();
        *error = reason;
        return false;
    }
    return true;
}
#else
bool readStoredFile(const QString &path, QByteArray *bytes, QString *error) {
    const QFileInfo info(path);
    QFile file(path);
    if (info.exists() && !info.isFile())
        *error = QStringLiteral("it is not a regular file");
    else if (!file.open(QIODevice::ReadOnly))
        *error = file.errorString();
    else if (file.size() > MAX_STORED_BYTES)
        *error = tooLarge();
    else if ((*bytes = file.read(MAX_STORED_BYTES + 1)).size() > MAX_STORED_BYTES)
        *error = tooLarge();
    else if (bytes->isEmpty())
        *error = file.error() != QFileDevice::NoError ? file.errorString()
                                                       : QStringLiteral("it is empty");
    else
        return true;
    bytes->clear();
    return false;
}
#endif

bool StoredReport::read(const QString &path, QString *error) {
    QByteArray bytes;
    if (!readStoredFile(path, &bytes, error))
        return false;
    setBytes(std::move(bytes));
    return true;
}

void StoredReport::setBytes(QByteArray bytes) {
    bytes_ = std::move(bytes);
    starts_.clear();
    const char *data = bytes_.constData();
    const qsizetype size = bytes_.size();
    holdsNul_ = std::memchr(data, '\0', static_cast<std::size_t>(size)) != nullptr;

    // Count first, so a file of countless short lines is never indexed.
    qsizetype breaks = 0;
    for (const char *p = data; (p = static_cast<const char *>(std::memchr(
                                    p, '\n', static_cast<std::size_t>(data + size - p))));
         ++p)
        ++breaks;
    // A last line without a break counts; the empty end after a final break does not.
    lineCount_ = breaks + (size > 0 && data[size - 1] != '\n' ? 1 : 0);
    passLineCount_ = lineCount_;
    if (tooManyLines())
        return;

    starts_.reserve(static_cast<std::size_t>(lineCount_));
    // A byte order mark an editor put in front is not part of the first line.
    qsizetype start = bytes_.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (qsizetype i = 0; i < lineCount_; ++i) {
        starts_.push_back(start);
        const void *end = std::memchr(data + start, '\n', static_cast<std::size_t>(size - start));
        start = end ? static_cast<const char *>(end) - data + 1 : size;
    }

    qsizetype last = lineCount_ - 1;
    while (last >= 0 && line(last).isEmpty())
        --last;
    if (last >= 0 && line(last).startsWith("Finished: "))
        passLineCount_ = last;
}

QByteArrayView StoredReport::line(qsizetype index) const {
    const qsizetype start = starts_[static_cast<std::size_t>(index)];
    qsizetype end =
        index + 1 < lineCount_ ? starts_[static_cast<std::size_t>(index) + 1] - 1 : bytes_.size();
    if (end > start && bytes_[end - 1] == '\n')
        --end;  // the last line's own break
    while (end > start && bytes_[end - 1] == '\r')
        --end;
    return QByteArrayView(bytes_.constData() + start, end - start);
}

}  // namespace verdict
