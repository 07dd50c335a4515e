// The cost of the library's exports, counted by the binding: per export and per pass, the
// calls, their times and the memory they grew in the process the library runs in.
//
// Memory is measured between calls, not around each one: before a call of another export
// than the last, before every 256th call of the same one, and at the end of a pass. All
// calls since the previous measurement are of one export, which is charged with the change.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "calls.h"

namespace qorbind {

class CallProfile {
  public:
    struct ExportPass {
        qorhost::ExportId id;
        std::uint64_t calls = 0;
        std::uint64_t totalNs = 0;
        std::uint64_t medianNs = 0;
        std::uint64_t maxNs = 0;
        std::int64_t memoryGrowth = 0;
        int section = 0;  // the section it spent most of its time in
    };

    // Calls from now on belong to section `index` of the pass (from 0).
    void setSection(int index) { section_ = static_cast<std::size_t>(index < 0 ? 0 : index); }

    // Whether the memory is to be measured before this call of `id`.
    bool wantsProbe(qorhost::ExportId id) const {
        return !charged_ || id != chargedId_ || callsSinceProbe_ >= PROBE_EVERY;
    }
    // A call of `id` took `nanoseconds`; `memoryBefore` is the measurement wantsProbe()
    // asked for (0 when none was made or the system gave none).
    void record(qorhost::ExportId id, std::uint64_t nanoseconds, bool probed,
                std::uint64_t memoryBefore);
    // The process the library runs in was replaced: its memory is no longer comparable.
    void forgetMemory() { charged_ = haveProbe_ = false; }
    // Ends the pass with the memory measured now (0: unknown): the exports called in it, in
    // the header's order. Starts the next pass afresh.
    std::vector<ExportPass> takePass(std::uint64_t memoryNow);

  private:
    static constexpr std::uint32_t PROBE_EVERY = 256;
    void probed(std::uint64_t memory);

    std::array<std::vector<std::uint64_t>, qorhost::EXPORT_COUNT> times_{};
    std::array<std::int64_t, qorhost::EXPORT_COUNT> growth_{};
    std::array<std::vector<std::uint64_t>, qorhost::EXPORT_COUNT> sectionNs_{};
    std::size_t section_ = 0;
    qorhost::ExportId chargedId_{};
    bool charged_ = false;    // calls since the last probe are chargedId_'s
    bool haveProbe_ = false;  // lastProbe_ is a figure of the current process
    std::uint64_t lastProbe_ = 0;
    std::uint32_t callsSinceProbe_ = 0;
};

}  // namespace qorbind
