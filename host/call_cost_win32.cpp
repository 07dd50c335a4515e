#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include "call_cost.h"

namespace qorhost {

std::uint64_t residentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return counters.WorkingSetSize;
}

}  // namespace qorhost
