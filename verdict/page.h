// testbed-report --html: one self-contained HTML page of a run (no network, no other file):
// the verdict first, then each section of the shown pass with its lines, error lines and
// differences marked, section times across the passes and the cost of every export as SVG
// plots, and the slow and leaking findings.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "compare.h"
#include "cost.h"
#include "junit.h"

namespace verdict {

struct PageInput {
    enum class Outcome { Passed, ErrorLines, Failed };
    Outcome outcome = Outcome::Passed;  // green, amber, red
    QString verdict;                    // the verdict's one line, e.g. "same behaviour as x.txt"
    QStringList notes;                  // further lines for the top: too few passes, etc.
    QString library;                    // the library file tested
    QString expectedName;               // the stored report, "" without --expect
    // The pass whose lines the page shows (the first that differs, else the last) and its
    // lines: Same lines as they are, Added and Removed ones as the diff has them, each with
    // the section it belongs to; names of the sections by index.
    QString shownPassName;
    QList<DiffLine> shownLines;
    QStringList sectionNames;
    QList<SuiteResult> passes;  // per pass, per section: time, error lines, differences
    CostProfile profile;        // may have no passes (cost not measured)
    QList<CostFinding> findings;
};

// The page, UTF-8. Every text from the run is escaped; it stays small for long runs (the
// plots thin out their points), under 2 MB for 1000 passes.
QByteArray htmlPage(const PageInput &input);

}  // namespace verdict
