// The cost of a run: per pass, the time of each section and, per export of the library,
// its calls, their time and the memory its calls grew; and what a comparison of that cost
// with a stored run's found.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace verdict {

struct ExportCost {
    QString name;
    qint64 calls = 0;
    qint64 totalNs = 0;
    qint64 medianNs = 0;  // of one call
    qint64 maxNs = 0;     // of one call
    // Bytes the process the library runs in grew across the export's calls (negative when
    // it shrank); 0 when not measured.
    qint64 memoryGrowth = 0;
    QString section;  // the section the export spent most of its time in
};

struct SectionCost {
    QString name;
    double seconds = 0;
};

struct PassCost {
    int pass = 0;  // from 1
    QList<SectionCost> sections;
    QList<ExportCost> exports;  // the exports called in the pass, in the header's order
    qint64 memory = -1;         // bytes resident in the library's process at the pass's end
};

struct CostProfile {
    QString library;  // the library file
    bool isolated = true;
    QList<PassCost> passes;

    // The whole run: per export, the calls, time and growth summed over the passes, the
    // median of the passes' medians and the largest call.
    QList<ExportCost> runExports() const;
};

struct CostFinding {
    enum Kind { Slower, Leaking };
    Kind kind = Slower;
    QString subject;        // the export's name, or the section's
    bool isSection = false;
    QString section;        // the section (JUnit testcase) the finding fails
    double factor = 0;      // Slower: this run's median time per pass over the stored one's
    double pValue = 1;      // Slower: of the rank test
    qint64 bytesPerPass = 0;  // Leaking: the median growth per pass after the first
    QString message;        // one line naming the subject and the figure
};

// ---- The profile file (testbed-report --profile) ----

// The profile as JSON: {"format", "library", "isolated", "passes": [...], "run": {...}}, each
// pass {"pass", "memory", "sections": [{"name", "seconds"}], "exports": [{"name", "calls",
// "total_ns", "median_ns", "max_ns", "memory_growth", "section"}]}; "run" sums the passes
// as runExports() does.
QByteArray profileJson(const CostProfile &profile);
// Reads a profile profileJson() wrote. False, with the reason, when `bytes` is none.
bool parseProfile(const QByteArray &bytes, CostProfile *profile, QString *error);
// The run's exports as a table sorted by total time, slowest first, for a terminal.
QString profileTable(const CostProfile &profile);

// ---- Judging cost ----

struct CostRules {
    // An export's time per pass is its median call times its calls; a section's the sum of
    // those of the exports it spends most time on (the library's time, not the rig's).
    // An export or section is slower only when its median time per pass is at least this
    // many times the stored one, ...
    double maxSlowdown = 1.5;
    // ... the rank test finds its times per pass larger with a p-value below this, ...
    double significance = 0.01;
    // ... and the median grew by at least this much per pass: on a busy machine a tiny
    // call runs at two or three speeds, and 5 passes of 10000 calls differ by up to 7 ms.
    qint64 minExtraNs = 10'000'000;
    // Passes each side needs before the rank test can decide.
    int minPasses = 5;
    // An export leaks when the memory its calls grew is at least this much per pass in
    // most passes after the first (which fills caches and pools once).
    qint64 leakBytesPerPass = qint64{1} << 20;
    // Passes a run needs before leaks are judged.
    int minLeakPasses = 3;
};

// The one-sided Mann-Whitney U test: the probability of ranks at least as extreme as
// these if `later` came from the same distribution as `earlier` (normal approximation,
// corrected for ties and continuity). 1 when either side is empty.
double rankTestLarger(const QList<double> &earlier, const QList<double> &later);

struct CostVerdict {
    QList<CostFinding> findings;
    QStringList notes;  // what could not be judged, and why
};

// `stored` may be null: then only leaks are judged.
CostVerdict judgeCost(const CostProfile *stored, const CostProfile &current,
                      const CostRules &rules = {});

}  // namespace verdict
