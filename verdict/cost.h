// The cost of a run: per pass, the time of each section and, per export of the library,
// its calls, their time and the memory its calls grew; and what a comparison of that cost
// with a stored run's found.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

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

}  // namespace verdict
