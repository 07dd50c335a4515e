// Memory figures of the machine and of the calling process, read afresh on every call.
#include "internal.h"
#include "platform.h"

using qorlib::sys::Memory;
using qorlib::sys::memory_figure;

extern "C" QOR_API double GetTotalPhysicalMemory(void) {
    return memory_figure(Memory::total_physical);
}

extern "C" QOR_API double GetAvailablePhysicalMemory(void) {
    return memory_figure(Memory::available_physical);
}

extern "C" QOR_API double GetTotalVirtualMemory(void) {
    return memory_figure(Memory::total_virtual);
}

extern "C" QOR_API double GetAvailableVirtualMemory(void) {
    return memory_figure(Memory::available_virtual);
}

extern "C" QOR_API double GetTotalSwapfileMemory(void) {
    return memory_figure(Memory::total_swap);
}

extern "C" QOR_API double GetAvailableSwapfileMemory(void) {
    return memory_figure(Memory::available_swap);
}
