// A report file an earlier run wrote (possibly another build, day or machine), read once and
// split into lines without copying them.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

namespace verdict {

// The largest stored report or profile read: a report of this rig is some 20 KiB, a
// profile of 1000 passes a few MiB.
constexpr qint64 MAX_STORED_BYTES = qint64{64} << 20;

// Reads a file a run stored, refusing what cannot be one, quickly and in bounded memory:
// anything but a regular file (a FIFO would block, a device never end), an empty file and
// one larger than MAX_STORED_BYTES. False, with the reason in `error`, when it cannot.
bool readStoredFile(const QString &path, QByteArray *bytes, QString *error);

class StoredReport {
  public:
    // A report of this rig holds a few hundred lines; a file with more lines than this is
    // not one, and is not split at all (its lines would cost more memory than its bytes).
    static constexpr qsizetype MAX_LINES = 1'000'000;

    // Reads the file with readStoredFile(). False, with the reason in `error`, when it
    // cannot be read.
    bool read(const QString &path, QString *error);
    // Takes the bytes of a report directly.
    void setBytes(QByteArray bytes);

    // True when the file holds no line at all.
    bool isEmpty() const { return lineCount_ == 0; }
    // A report never holds a NUL: a file that does is not a report.
    bool holdsNul() const { return holdsNul_; }
    // More than MAX_LINES lines: not split into lines.
    bool tooManyLines() const { return lineCount_ > MAX_LINES; }
    qsizetype lineCount() const { return lineCount_; }

    // Line `index` (from 0) without its line break and trailing CRs, so CR LF and LF files
    // read alike. Only when !tooManyLines().
    QByteArrayView line(qsizetype index) const;
    // The lines of the pass: all lines before a closing "Finished: " line, which only a
    // repeat run writes, after its last pass.
    qsizetype passLineCount() const { return passLineCount_; }

  private:
    QByteArray bytes_;
    std::vector<qsizetype> starts_;
    qsizetype lineCount_ = 0;
    qsizetype passLineCount_ = 0;
    bool holdsNul_ = false;
};

}  // namespace verdict
