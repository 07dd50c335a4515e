// The verdict of testbed-report --expect and --junit: every pass of a run compared with the
// stored report as the pass ends, the differences shown, and the results kept per section.
#pragma once

#include <QString>
#include <functional>

#include "compare.h"
#include "cost.h"
#include "junit.h"
#include "shaped_report.h"
#include "stored_report.h"

namespace verdict {

class Judge {
  public:
    // `expected` may be null: then passes are only recorded for JUnit. `show` receives the
    // diffs and notes meant for the user.
    Judge(const StoredReport *expected, QString expectedName,
          std::function<void(const QString &)> show);

    // At the end of pass `pass` of `passes`, with the report as the pass left it. Lines
    // the report gets afterwards (the repeat loop's closing line) go to a section of
    // their own.
    void judgePass(int pass, int passes, suite::ShapedReport &report);
    // After the last pass: the repeat loop's closing line, compared with the stored one
    // where both reports have one (a run without repeats writes none).
    void judgeLoopEnd(const suite::ShapedReport &report);

    // Adds the cost verdict to the last pass: each finding fails its section's case (or a
    // case "Cost" of its own), and notes of what was not judged skip such a case.
    void judgeCost(const CostVerdict &cost);

    int passesJudged() const { return passes_; }
    int differingPasses() const { return differing_; }
    // Passes with error lines or differences so far.
    int failingPasses() const { return failing_; }
    const QList<SuiteResult> &results() const { return results_; }

    // The pass to show whole: the first that differs, else the last; its lines as the diff
    // has them (all Same without a stored report), and the names of its sections.
    const QString &shownPassName() const { return shownName_; }
    const QList<DiffLine> &shownLines() const { return shownLines_; }
    const QStringList &shownSectionNames() const { return shownSections_; }

  private:
    // The comparison of `lines` with stored lines [from, to). A stored file that is no
    // report at all differs from every line; a note says why, once.
    Comparison compare(const QList<suite::ReportLine> &lines, qsizetype from, qsizetype to);
    void showDiff(const Comparison &comparison, const QString &currentName,
                  const QStringList &sectionNames);

    const StoredReport *expected_;
    QString expectedName_;
    std::function<void(const QString &)> show_;
    Comparator comparator_;
    QList<SuiteResult> results_;
    int loopSection_ = 0;
    int passes_ = 0;
    int differing_ = 0;
    int shownDiffs_ = 0;
    int failing_ = 0;
    bool notedUnusable_ = false;
    bool shownDiffers_ = false;
    QString shownName_;
    QList<DiffLine> shownLines_;
    QStringList shownSections_;
};

}  // namespace verdict
