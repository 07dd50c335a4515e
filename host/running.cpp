#include "running.h"

#include <atomic>

namespace qorhost {

namespace {
std::atomic<const char *> running{nullptr};
static_assert(std::atomic<const char *>::is_always_lock_free);
}  // namespace

const char *runningExport() noexcept {
    return running.load(std::memory_order_relaxed);
}

RunningExport::RunningExport(const char *name) noexcept
    : previous_(running.exchange(name, std::memory_order_relaxed)) {}

RunningExport::~RunningExport() {
    running.store(previous_, std::memory_order_relaxed);
}

}  // namespace qorhost
