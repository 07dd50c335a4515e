#include "judge.h"

namespace verdict {

namespace {

// Passes after these show a one-line note instead of their diff.
constexpr int MAX_SHOWN_DIFFS = 3;

const QString LOOP_SECTION = QStringLiteral("Finished");

// Why a stored file cannot be compared line by line, or an empty text when it can.
QString unusable(const StoredReport &stored) {
    if (stored.isEmpty())
        return QStringLiteral("it is empty");
    if (stored.holdsNul())
        return QStringLiteral("it holds NUL bytes, which no report does");
    if (stored.tooManyLines())
        return QStringLiteral("it holds %1 lines, far more than a report").arg(stored.lineCount());
    return {};
}

QStringList namesOf(const QList<suite::ShapedReport::Section> &sections) {
    QStringList names;
    for (const suite::ShapedReport::Section &section : sections)
        names << section.name;
    return names;
}

}  // namespace

Judge::Judge(const StoredReport *expected, QString expectedName,
             std::function<void(const QString &)> show)
    : expected_(expected), expectedName_(std::move(expectedName)), show_(std::move(show)) {}

Comparison Judge::compare(const QList<suite::ReportLine> &lines, qsizetype from, qsizetype to) {
    const QString reason = unusable(*expected_);
    if (reason.isEmpty())
        return comparator_.compare(lines, *expected_, from, to);
    if (!notedUnusable_)
        show_(QStringLiteral("testbed-report: ") + printable(expectedName_) +
              QStringLiteral(" is not compared line by line: ") + reason);
    notedUnusable_ = true;
    // Every line of the run counts as missing from it.
    Comparison comparison;
    for (qsizetype i = 0; i < lines.size(); ++i)
        comparison.lines.append({DiffLine::Added, lines[i].text, 0, i + 1, 1, lines[i].section});
    comparison.changedLines = lines.size() + 1;
    return comparison;
}

void Judge::showDiff(const Comparison &comparison, const QString &currentName,
                     const QStringList &sectionNames) {
    if (notedUnusable_)
        return;
    if (shownDiffs_ < MAX_SHOWN_DIFFS) {
        show_(unifiedDiff(comparison, printable(expectedName_), currentName, sectionNames));
        if (onlyZoneOrDateDiffers(comparison, sectionNames))
            show_(QStringLiteral("testbed-report: only zone and date figures differ: stored "
                                 "under another time zone or locale?"));
    } else
        show_(QStringLiteral("testbed-report: ") + currentName + QStringLiteral(" differs too"));
    ++shownDiffs_;
}

void Judge::judgePass(int pass, int passes, suite::ShapedReport &report) {
    report.beginSection(LOOP_SECTION);
    QList<suite::ShapedReport::Section> sections = report.sections();
    sections.removeLast();
    loopSection_ = static_cast<int>(sections.size());
    const QList<suite::ReportLine> lines = report.lines();
    const QString name =
        passes > 1 ? QStringLiteral("pass %1 of %2").arg(pass).arg(passes) : QStringLiteral("pass");

    Comparison comparison;
    if (expected_) {
        comparison = compare(lines, 0, expected_->passLineCount());
        if (!comparison.same()) {
            ++differing_;
            showDiff(comparison, name, namesOf(sections));
        }
    }

    SuiteResult suite{name, {}};
    bool failed = false;
    for (qsizetype i = 0; i < sections.size(); ++i) {
        CaseResult result{sections[i].name, double(sections[i].nanoseconds) / 1e9,
                          sections[i].errorLines, {}, {}, {}};
        for (const DiffLine &line : comparison.lines)
            if (line.section == i && line.kind != DiffLine::Same)
                result.differences << QChar(line.kind == DiffLine::Added ? u'+' : u'-') + line.text;
        failed = failed || !result.errorLines.isEmpty() || !result.differences.isEmpty();
        suite.cases.append(result);
    }
    results_.append(suite);
    ++passes_;
    failing_ += failed ? 1 : 0;

    if (!shownDiffers_) {
        shownDiffers_ = !comparison.same();
        shownName_ = name;
        shownSections_ = namesOf(sections);
        shownLines_ = comparison.lines;
        if (!expected_) {
            shownLines_.clear();
            for (qsizetype i = 0; i < lines.size(); ++i)
                shownLines_.append({DiffLine::Same, lines[i].text, 0, i + 1, 1, lines[i].section});
        }
    }
}

void Judge::judgeCost(const CostVerdict &cost) {
    if (results_.isEmpty())
        return;
    QList<CaseResult> &cases = results_.last().cases;
    const auto caseNamed = [&](const QString &name) -> CaseResult & {
        for (CaseResult &result : cases)
            if (result.name == name)
                return result;
        cases.append(CaseResult{name, 0, {}, {}, {}, {}});
        return cases.last();
    };
    const QString costCase = QStringLiteral("Cost");
    for (const CostFinding &finding : cost.findings)
        caseNamed(finding.section.isEmpty() ? costCase : finding.section).findings
            << finding.message;
    if (!cost.notes.isEmpty())
        caseNamed(costCase).skipped = cost.notes.join(QStringLiteral("; "));
}

void Judge::judgeLoopEnd(const suite::ShapedReport &report) {
    QList<suite::ReportLine> all = report.lines();
    qsizetype first = 0;
    while (first < all.size() && all[first].section < loopSection_)
        ++first;
    if (first == all.size() || results_.isEmpty())
        return;
    const QList<suite::ReportLine> lines = all.mid(first);

    CaseResult result{LOOP_SECTION, 0, {}, {}, {}, {}};
    if (expected_ && unusable(*expected_).isEmpty() &&
        expected_->passLineCount() < expected_->lineCount()) {
        Comparison comparison = comparator_.compare(lines, *expected_, expected_->passLineCount(),
                                                    expected_->lineCount());
        if (!comparison.same()) {
            for (DiffLine &line : comparison.lines) {
                if (line.currentNumber > 0)
                    line.currentNumber += first;
                if (line.kind != DiffLine::Same)
                    result.differences
                        << QChar(line.kind == DiffLine::Added ? u'+' : u'-') + line.text;
            }
            // The loop's line belongs to the last pass, which now differs if it did not yet.
            const bool lastPassDiffered =
                std::any_of(results_.last().cases.begin(), results_.last().cases.end(),
                            [](const CaseResult &c) { return !c.differences.isEmpty(); });
            if (!lastPassDiffered)
                ++differing_;
            showDiff(comparison, results_.last().name, namesOf(report.sections()));
        }
    }
    results_.last().cases.append(result);
}

}  // namespace verdict
