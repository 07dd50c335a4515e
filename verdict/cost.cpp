#include "cost.h"

#include <QHash>
#include <algorithm>

namespace verdict {

namespace {

qint64 median(QList<qint64> values) {
    if (values.isEmpty())
        return 0;
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
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
                run.append({cost.name, 0, 0, 0, 0, 0});
                medians.append(QList<qint64>());
            }
            ExportCost &sum = run[*found];
            sum.calls += cost.calls;
            sum.totalNs += cost.totalNs;
            sum.maxNs = std::max(sum.maxNs, cost.maxNs);
            sum.memoryGrowth += cost.memoryGrowth;
            medians[*found].append(cost.medianNs);
        }
    }
    for (qsizetype i = 0; i < run.size(); ++i)
        run[i].medianNs = median(medians[i]);
    return run;
}

}  // namespace verdict
