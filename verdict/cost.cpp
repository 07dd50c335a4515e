#include "cost.h"

#include "units.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace verdict {

namespace {

const QString FORMAT = QStringLiteral("testbed-report profile 1");

// The upper median: the middle value, or the larger of the two middle ones.
template <class T>
T median(QList<T> values) {
    if (values.isEmpty())
        return T{};
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The lower median: the middle value, or the smaller of the two middle ones.
qint64 lowerMedian(QList<qint64> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[(values.size() - 1) / 2];
}

QJsonObject exportJson(const ExportCost &cost, bool withSection) {
    QJsonObject object{{"name", cost.name},
                       {"calls", cost.calls},
                       {"total_ns", cost.totalNs},
                       {"median_ns", cost.medianNs},
                       {"max_ns", cost.maxNs},
                       {"memory_growth", cost.memoryGrowth}};
    if (withSection)
        object.insert(QStringLiteral("section"), cost.section);
    return object;
}

// JSON numbers are doubles; a count or a time must be a whole number in their exact range.
bool wholeNumber(const QJsonValue &value, qint64 *out) {
    const double number = value.toDouble(std::nan(""));
    if (!value.isDouble() || !(std::fabs(number) <= 9007199254740992.0) ||
        number != std::floor(number))
        return false;
    *out = static_cast<qint64>(number);
    return true;
}

bool parseExport(const QJsonValue &value, ExportCost *cost) {
    const QJsonObject object = value.toObject();
    cost->name = object.value(QStringLiteral("name")).toString();
    cost->section = object.value(QStringLiteral("section")).toString();
    return value.isObject() && !cost->name.isEmpty() &&
           wholeNumber(object.value(QStringLiteral("calls")), &cost->calls) &&
           wholeNumber(object.value(QStringLiteral("total_ns")), &cost->totalNs) &&
           wholeNumber(object.value(QStringLiteral("median_ns")), &cost->medianNs) &&
           wholeNumber(object.value(QStringLiteral("max_ns")), &cost->maxNs) &&
           wholeNumber(object.value(QStringLiteral("memory_growth")), &cost->memoryGrowth) &&
           cost->calls >= 0 && cost->totalNs >= 0;
}

bool parsePass(const QJsonValue &value, PassCost *pass) {
    const QJsonObject object = value.toObject();
    qint64 number = 0;
    if (!value.isObject() || !wholeNumber(object.value(QStringLiteral("pass")), &number) ||
        !wholeNumber(object.value(QStringLiteral("memory")), &pass->memory))
        return false;
    pass->pass = static_cast<int>(std::clamp<qint64>(number, 0, 1 << 30));
    for (const QJsonValue &item : object.value(QStringLiteral("sections")).toArray()) {
        const QJsonObject section = item.toObject();
        const QJsonValue seconds = section.value(QStringLiteral("seconds"));
        if (!seconds.isDouble() || !(seconds.toDouble() >= 0))
            return false;
        pass->sections.append({section.value(QStringLiteral("name")).toString(),
                               seconds.toDouble()});
    }
    for (const QJsonValue &item : object.value(QStringLiteral("exports")).toArray()) {
        ExportCost cost;
        if (!parseExport(item, &cost))
            return false;
        pass->exports.append(cost);
    }
    return true;
}

// Per subject, its typical time per pass in nanoseconds, from the passes that have it.
//
// An export's is its median call times its calls: a busy machine stops a call now and then,
// which the total feels and the median hardly does, while a call that really got slower
// moves the median. A section's is that of the exports it spends most time on: its own
// time is mostly the rig's, which a busy machine slows many times over.
using Series = QHash<QString, QList<double>>;

double typical(const ExportCost &cost) {
    return double(cost.medianNs) * double(cost.calls);
}

Series exportTimes(const CostProfile &profile) {
    Series series;
    for (const PassCost &pass : profile.passes)
        for (const ExportCost &cost : pass.exports)
            if (cost.calls > 0)
                series[cost.name].append(typical(cost));
    return series;
}

Series sectionTimes(const CostProfile &profile) {
    Series series;
    for (const PassCost &pass : profile.passes) {
        QHash<QString, double> sums;
        for (const ExportCost &cost : pass.exports)
            if (cost.calls > 0 && !cost.section.isEmpty())
                sums[cost.section] += typical(cost);
        for (auto it = sums.cbegin(); it != sums.cend(); ++it)
            series[it.key()].append(it.value());
    }
    return series;
}

// The section an export last spent most of its time in.
QString sectionOf(const CostProfile &profile, const QString &name) {
    for (auto pass = profile.passes.crbegin(); pass != profile.passes.crend(); ++pass)
        for (const ExportCost &cost : pass->exports)
            if (cost.name == name && !cost.section.isEmpty())
                return cost.section;
    return {};
}

void findSlower(const Series &stored, const Series &current, bool sections,
                const CostProfile &profile, const CostRules &rules, CostVerdict *verdict) {
    for (auto it = current.cbegin(); it != current.cend(); ++it) {
        const QList<double> before = stored.value(it.key());
        if (before.size() < rules.minPasses || it.value().size() < rules.minPasses)
            continue;
        const double was = median(before), now = median(it.value());
        const double factor = was > 0 ? now / was : (now > 0 ? INFINITY : 1);
        if (factor < rules.maxSlowdown || now - was < double(rules.minExtraNs))
            continue;
        const double p = rankTestLarger(before, it.value());
        if (p >= rules.significance)
            continue;
        CostFinding finding;
        finding.kind = CostFinding::Slower;
        finding.subject = it.key();
        finding.isSection = sections;
        finding.section = sections ? it.key() : sectionOf(profile, it.key());
        finding.factor = factor;
        finding.pValue = p;
        finding.message =
            QStringLiteral("%1 %2 is %3 times slower than stored: %4 per pass against %5 in "
                           "the library (rank test p = %6)")
                .arg(sections ? QStringLiteral("the section") : QStringLiteral("the export"),
                     it.key(),
                     std::isinf(factor) ? QStringLiteral("many") : QString::number(factor, 'f', 1),
                     duration(now), duration(was), QString::number(p, 'g', 2));
        verdict->findings.append(finding);
    }
}

void findLeaks(const CostProfile &current, const CostRules &rules, CostVerdict *verdict) {
    QHash<QString, QList<qint64>> growth;  // per export, per pass after the first
    QStringList order;
    for (qsizetype i = 1; i < current.passes.size(); ++i) {
        for (const ExportCost &cost : current.passes[i].exports) {
            if (!growth.contains(cost.name))
                order << cost.name;
            growth[cost.name].append(cost.memoryGrowth);
        }
    }
    const qsizetype later = current.passes.size() - 1;
    for (const QString &name : order) {
        QList<qint64> perPass = growth.value(name);
        perPass.resize(later, 0);  // passes that did not call it grew nothing by it
        const qint64 typical = lowerMedian(perPass);
        if (typical < rules.leakBytesPerPass)
            continue;
        CostFinding finding;
        finding.kind = CostFinding::Leaking;
        finding.subject = name;
        finding.section = sectionOf(current, name);
        finding.bytesPerPass = typical;
        finding.message =
            QStringLiteral("the export %1 leaks: its calls grew the memory by %2 per pass in "
                           "most of the %3 passes after the first")
                .arg(name, bytes(double(typical)))
                .arg(later);
        verdict->findings.append(finding);
    }
}

}  // namespace

QList<ExportCost> CostProfile::runExports() const {
    QList<ExportCost> run;
    QHash<QString, qsizetype> index;
    QList<QList<qint64>> medians;
    for (const PassCost &pass : passes) {
        for (const ExportCost &cost : pass.exports) {
            auto found = index.constFind(cost.name);
            if (found == index.cend()) {
                found = index.insert(cost.name, run.size());
                ExportCost first;
                first.name = cost.name;
                run.append(first);
                medians.append(QList<qint64>());
            }
            ExportCost &sum = run[*found];
            sum.calls += cost.calls;
            sum.totalNs += cost.totalNs;
            sum.maxNs = std::max(sum.maxNs, cost.maxNs);
            sum.memoryGrowth += cost.memoryGrowth;
            if (!cost.section.isEmpty())
                sum.section = cost.section;
            medians[*found].append(cost.medianNs);
        }
    }
    for (qsizetype i = 0; i < run.size(); ++i)
        run[i].medianNs = median(medians[i]);
    return run;
}

QByteArray profileJson(const CostProfile &profile) {
    QJsonArray passes;
    for (const PassCost &pass : profile.passes) {
        QJsonArray sections, exports;
        for (const SectionCost &section : pass.sections)
            sections.append(QJsonObject{{"name", section.name}, {"seconds", section.seconds}});
        for (const ExportCost &cost : pass.exports)
            exports.append(exportJson(cost, true));
        passes.append(QJsonObject{{"pass", pass.pass},
                                  {"memory", pass.memory},
                                  {"sections", sections},
                                  {"exports", exports}});
    }
    QJsonArray run;
    for (const ExportCost &cost : profile.runExports())
        run.append(exportJson(cost, false));
    const QJsonObject document{{"format", FORMAT},
                               {"library", profile.library},
                               {"isolated", profile.isolated},
                               {"passes", passes},
                               {"run", QJsonObject{{"passes", profile.passes.size()},
                                                   {"exports", run}}}};
    return QJsonDocument(document).toJson(QJsonDocument::Compact) + '\n';
}

bool parseProfile(const QByteArray &bytes, CostProfile *profile, QString *error) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (document.isNull()) {
        *error = QStringLiteral("it is not JSON (%1 at byte %2)")
                     .arg(parseError.errorString())
                     .arg(parseError.offset);
        return false;
    }
    const QJsonObject object = document.object();
    if (object.value(QStringLiteral("format")).toString() != FORMAT) {
        *error = QStringLiteral("it is not a profile testbed-report wrote (no \"format\": \"%1\")")
                     .arg(FORMAT);
        return false;
    }
    CostProfile read;
    read.library = object.value(QStringLiteral("library")).toString();
    read.isolated = object.value(QStringLiteral("isolated")).toBool(true);
    const QJsonArray passes = object.value(QStringLiteral("passes")).toArray();
    for (qsizetype i = 0; i < passes.size(); ++i) {
        PassCost pass;
        if (!parsePass(passes[i], &pass)) {
            *error = QStringLiteral("its pass %1 is not one testbed-report writes").arg(i + 1);
            return false;
        }
        read.passes.append(pass);
    }
    *profile = std::move(read);
    return true;
}

QString profileTable(const CostProfile &profile) {
    QList<ExportCost> exports = profile.runExports();
    std::stable_sort(exports.begin(), exports.end(),
                     [](const ExportCost &a, const ExportCost &b) { return a.totalNs > b.totalNs; });
    QString out = QStringLiteral("Cost of %1 pass(es), the library %2, slowest first:\n")
                      .arg(profile.passes.size())
                      .arg(profile.isolated ? QStringLiteral("in its host")
                                            : QStringLiteral("in this process"));
    const auto row = [](QStringList cells) {
        static const int widths[] = {-24, 9, 11, 11, 11, 12};
        QString line;
        for (qsizetype i = 0; i < cells.size(); ++i)
            line += QStringLiteral("%1").arg(cells[i], widths[i]) + u' ';
        return line.trimmed() + u'\n';
    };
    out += row({"export", "calls", "total", "median", "max", "memory"});
    for (const ExportCost &cost : exports)
        out += row({cost.name, QString::number(cost.calls), duration(double(cost.totalNs)),
                    duration(double(cost.medianNs)), duration(double(cost.maxNs)),
                    bytes(double(cost.memoryGrowth))});
    return out;
}

double rankTestLarger(const QList<double> &earlier, const QList<double> &later) {
    const qsizetype n1 = earlier.size(), n2 = later.size();
    if (n1 == 0 || n2 == 0)
        return 1;
    // Ranks of all values together, ties sharing their mean rank.
    QList<std::pair<double, bool>> all;  // value, from `later`
    for (double v : earlier)
        all.append({v, false});
    for (double v : later)
        all.append({v, true});
    std::sort(all.begin(), all.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    const double n = double(n1 + n2);
    double laterRanks = 0, ties = 0;
    for (qsizetype i = 0; i < all.size();) {
        qsizetype j = i;
        while (j < all.size() && all[j].first == all[i].first)
            ++j;
        const double rank = (double(i + 1) + double(j)) / 2, t = double(j - i);
        ties += t * t * t - t;
        for (qsizetype k = i; k < j; ++k)
            if (all[k].second)
                laterRanks += rank;
        i = j;
    }
    const double u = laterRanks - double(n2) * double(n2 + 1) / 2;
    const double mean = double(n1) * double(n2) / 2;
    const double variance = double(n1) * double(n2) / 12 * ((n + 1) - ties / (n * (n - 1)));
    if (variance <= 0)
        return u > mean ? 0 : 1;
    const double z = (u - mean - 0.5) / std::sqrt(variance);
    return 0.5 * std::erfc(z / std::sqrt(2.0));
}

CostVerdict judgeCost(const CostProfile *stored, const CostProfile &current,
                      const CostRules &rules) {
    CostVerdict verdict;
    if (stored) {
        if (stored->passes.size() < rules.minPasses || current.passes.size() < rules.minPasses) {
            verdict.notes << QStringLiteral(
                                 "slowdowns not judged: the stored profile has %1 pass(es) and "
                                 "this run %2; the rank test needs %3 or more on each side "
                                 "(--passes)")
                                 .arg(stored->passes.size())
                                 .arg(current.passes.size())
                                 .arg(rules.minPasses);
        } else {
            findSlower(sectionTimes(*stored), sectionTimes(current), true, current, rules,
                       &verdict);
            findSlower(exportTimes(*stored), exportTimes(current), false, current, rules,
                       &verdict);
        }
    }
    const bool measured = std::any_of(current.passes.cbegin(), current.passes.cend(),
                                      [](const PassCost &p) { return p.memory > 0; });
    if (current.passes.size() < rules.minLeakPasses)
        verdict.notes << QStringLiteral("leaks not judged: this run has %1 pass(es); memory "
                                        "growth needs %2 or more (--passes)")
                             .arg(current.passes.size())
                             .arg(rules.minLeakPasses);
    else if (!measured)
        verdict.notes << QStringLiteral("leaks not judged: the memory of the library's process "
                                        "could not be measured");
    else
        findLeaks(current, rules, &verdict);
    return verdict;
}

}  // namespace verdict
