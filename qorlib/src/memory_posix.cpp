// Memory figures on POSIX systems: /proc/meminfo, the address-space limit and /proc/self.
#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "memory_figures.h"
#include "platform.h"

namespace qorlib {

std::optional<double> kib_field(std::string_view text, std::string_view key) {
    // Lines read "Key:   12345 kB"; the key must match a whole name at a line start.
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.size() <= key.size() || line.substr(0, key.size()) != key ||
            line[key.size()] != ':')
            continue;
        std::string_view rest = line.substr(key.size() + 1);
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
            rest.remove_prefix(1);
        std::uint64_t value = 0;
        auto [next, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
        if (error != std::errc() || next == rest.data())
            return std::nullopt;
        std::string_view unit(next, static_cast<size_t>(rest.data() + rest.size() - next));
        while (!unit.empty() && (unit.front() == ' ' || unit.front() == '\t'))
            unit.remove_prefix(1);
        while (!unit.empty() && (unit.back() == ' ' || unit.back() == '\t' || unit.back() == '\r'))
            unit.remove_suffix(1);
        if (unit == "kB")
            return static_cast<double>(value) * 1024.0;
        if (unit.empty())
            return static_cast<double>(value);
        return std::nullopt;
    }
    return std::nullopt;
}

double user_address_range() noexcept {
    // The part of the address space a process can map, which the kernel fixes per
    // architecture (the common page-table layout; larger layouts are opt-in).
#if defined(__x86_64__)
    return 140737488355328.0;  // 2^47
#elif defined(__aarch64__)
    return 281474976710656.0;  // 2^48
#else
    if constexpr (sizeof(void *) == 4)
        return 3221225472.0;  // 3 GiB: the usual user/kernel split
    else
        return 140737488355328.0;  // 2^47, the common 64-bit layout
#endif
}

}  // namespace qorlib

namespace {

std::optional<std::string> read_file(const char *path) {
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return std::nullopt;
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return text;
    } catch (...) {
        return std::nullopt;
    }
}

double meminfo(std::string_view key) {
    try {
        std::optional<std::string> text = read_file("/proc/meminfo");
        if (!text)
            return -1;
        return qorlib::kib_field(*text, key).value_or(-1);
    } catch (...) {
        return -1;
    }
}

double address_space_limit() {
    struct rlimit limit {};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        return static_cast<double>(limit.rlim_cur);
    return qorlib::user_address_range();
}

double available_address_space() noexcept {
    try {
        std::optional<std::string> status = read_file("/proc/self/status");
        if (!status)
            return -1;
        std::optional<double> used = qorlib::kib_field(*status, "VmSize");
        if (!used)
            return -1;
        double free = address_space_limit() - *used;
        // A limit lowered below what is already mapped leaves nothing to map.
        return free < 0 ? 0 : free;
    } catch (...) {
        return -1;
    }
}

}  // namespace

namespace qorlib::sys {

double memory_figure(Memory which) noexcept {
    switch (which) {
        case Memory::total_physical:
            return meminfo("MemTotal");
        case Memory::available_physical:
            return meminfo("MemAvailable");
        case Memory::total_virtual:
            return address_space_limit();
        case Memory::available_virtual:
            return available_address_space();
        case Memory::total_swap:
            return meminfo("SwapTotal");
        case Memory::available_swap:
            return meminfo("SwapFree");
    }
    return -1;
}

void advise_large_block(void *block, std::size_t size) noexcept {
#if defined(MADV_HUGEPAGE)
    // Only whole pages inside the block may be advised.
    const long page_size = sysconf(_SC_PAGESIZE);
    if (page_size <= 0)
        return;
    const auto page = static_cast<std::uintptr_t>(page_size);
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (start + page - 1) & ~(page - 1);
    const std::uintptr_t end = (start + size) & ~(page - 1);
    if (end > first)
        madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
#else
    (void)block;
    (void)size;
#endif
}

std::size_t block_capacity(void *block) noexcept {
    return malloc_usable_size(block);
}

}  // namespace qorlib::sys
