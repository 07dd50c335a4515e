#include "stored_report.h"

#include <QFile>
#include <cstring>
#include <new>

namespace verdict {

bool StoredReport::read(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QByteArray bytes;
    try {
        bytes = file.readAll();
    } catch (const std::bad_alloc &) {
        *error = QStringLiteral("not enough memory to read it");
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
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
