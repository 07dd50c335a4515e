// The comparison of a run's report with a stored report: stable parts of a line byte for
// byte, varying parts by the shapes the sections declared, and line order, missing and extra
// lines included. A difference comes out as a line diff.
#pragma once

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "shaped_report.h"
#include "stored_report.h"

namespace verdict {

struct DiffLine {
    enum Kind : char { Same = ' ', Removed = '-', Added = '+', Omitted = '~' };
    Kind kind = Same;
    // Same and Added: this run's line; Removed: the stored line; Omitted: a note for
    // `count` stored lines left out.
    QString text;
    qsizetype storedNumber = 0;   // from 1; 0 when the line has no stored side
    qsizetype currentNumber = 0;  // from 1; 0 when the line has no current side
    qsizetype count = 1;
    int section = 0;  // this run's section the line belongs to, or stands in the place of
};

struct Comparison {
    // Every line of both reports in order, the differing ones marked.
    QList<DiffLine> lines;
    qsizetype changedLines = 0;  // removed and added lines
    bool same() const { return changedLines == 0; }
};

class Comparator {
  public:
    // Compares this run's `current` lines with the stored lines [from, to).
    Comparison compare(const QList<suite::ReportLine> &current, const StoredReport &stored,
                       qsizetype from, qsizetype to);

  private:
    // Patterns repeat from pass to pass: each is compiled once (copies share it).
    QRegularExpression compiled(const QString &pattern);

    QHash<QString, QRegularExpression> patterns_;
};

// A diff line as it may be shown on a terminal or written into XML: control characters and
// characters XML cannot hold become \xNN or \uNNNN, and a very long line is cut.
QString printable(QStringView text);

// A unified diff of `comparison` with `context` lines of context around each change, each
// hunk headed by the names of the sections it spans ("; " between them).
QString unifiedDiff(const Comparison &comparison, const QString &storedName,
                    const QString &currentName, const QStringList &sectionNames, int context = 3);

// Whether every difference is a date line whose changed and stored forms differ only in
// figures the clock, the time zone or the locale sets: a stored report made under another
// TZ or locale looks so.
bool onlyZoneOrDateDiffers(const Comparison &comparison, const QStringList &sectionNames);

}  // namespace verdict
