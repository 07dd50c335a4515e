// Memory figures on Windows: GlobalMemoryStatusEx.
#include <malloc.h>

#include "platform.h"
#include "win32.h"

namespace qorlib::sys {

double memory_figure(Memory which) noexcept {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return -1;
    switch (which) {
        case Memory::total_physical:
            return static_cast<double>(status.ullTotalPhys);
        case Memory::available_physical:
            return static_cast<double>(status.ullAvailPhys);
        case Memory::total_virtual:
            return static_cast<double>(status.ullTotalVirtual);
        case Memory::available_virtual:
            return static_cast<double>(status.ullAvailVirtual);
        // The page-file figures are the commit limit: physical memory plus page files.
        case Memory::total_swap:
            return static_cast<double>(status.ullTotalPageFile);
        case Memory::available_swap:
            return static_cast<double>(status.ullAvailPageFile);
    }
    return -1;
}

// Large pages on Windows need a privilege callers seldom hold; the hint is not taken.
void advise_large_block(void *, std::size_t) noexcept {}

std::size_t block_capacity(void *block) noexcept {
    return _msize(block);
}

}  // namespace qorlib::sys
