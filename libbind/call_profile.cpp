#include "call_profile.h"

#include <algorithm>

namespace qorbind {

void CallProfile::probed(std::uint64_t memory) {
    if (memory == 0) {  // unknown: nothing to charge from here on
        forgetMemory();
        return;
    }
    if (charged_ && haveProbe_)
        growth_[static_cast<std::size_t>(chargedId_)] +=
            static_cast<std::int64_t>(memory) - static_cast<std::int64_t>(lastProbe_);
    lastProbe_ = memory;
    haveProbe_ = true;
    callsSinceProbe_ = 0;
}

void CallProfile::record(qorhost::ExportId id, std::uint64_t nanoseconds, bool probed,
                         std::uint64_t memoryBefore) {
    if (probed) {
        this->probed(memoryBefore);
        chargedId_ = id;
        charged_ = haveProbe_;
    }
    ++callsSinceProbe_;
    const auto index = static_cast<std::size_t>(id);
    times_[index].push_back(nanoseconds);
    std::vector<std::uint64_t> &sections = sectionNs_[index];
    if (sections.size() <= section_)
        sections.resize(section_ + 1);
    sections[section_] += nanoseconds;
}

std::vector<CallProfile::ExportPass> CallProfile::takePass(std::uint64_t memoryNow) {
    probed(memoryNow);
    charged_ = false;
    section_ = 0;
    std::vector<ExportPass> pass;
    for (std::size_t i = 0; i < qorhost::EXPORT_COUNT; ++i) {
        std::vector<std::uint64_t> &times = times_[i];
        if (times.empty() && growth_[i] == 0)
            continue;
        ExportPass cost{static_cast<qorhost::ExportId>(i)};
        cost.calls = times.size();
        for (std::uint64_t t : times) {
            cost.totalNs += t;
            cost.maxNs = std::max(cost.maxNs, t);
        }
        if (!times.empty()) {
            const auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
            std::nth_element(times.begin(), middle, times.end());
            cost.medianNs = *middle;
        }
        cost.memoryGrowth = growth_[i];
        std::vector<std::uint64_t> &sections = sectionNs_[i];
        cost.section = static_cast<int>(std::max_element(sections.begin(), sections.end()) -
                                        sections.begin());
        pass.push_back(cost);
        times.clear();
        sections.clear();
        growth_[i] = 0;
    }
    return pass;
}

}  // namespace qorbind
