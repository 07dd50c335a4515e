// The local time zone on POSIX systems: the C library's tzset() and localtime_r(), the zone
// named by TZ or by the system's files.
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform.h"

namespace {

// The zone's name from the TZ value `tz` (null when unset): TZ without its leading ":",
// else what the system names as its zone, else "UTC".
std::string zone_name(const char *tz) {
    auto after_zoneinfo = [](std::string path) {
        const auto at = path.find("zoneinfo/");
        return at == std::string::npos ? path : path.substr(at + 9);
    };
    if (tz) {
        std::string name = tz;
        if (!name.empty() && name.front() == ':')
            name.erase(0, 1);
        if (name.empty())
            return "UTC";
        return name.front() == '/' ? after_zoneinfo(name) : name;
    }
    std::ifstream file("/etc/timezone");
    std::string line;
    if (std::getline(file, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty())
            return line;
    }
    std::array<char, 512> link{};
    const ssize_t n = readlink("/etc/localtime", link.data(), link.size() - 1);
    if (n > 0) {
        std::string target(link.data(), static_cast<std::size_t>(n));
        if (target.find("zoneinfo/") != std::string::npos)
            return after_zoneinfo(target);
    }
    return "UTC";
}

std::int64_t monotonic_seconds() {
    struct timespec now {};
#ifdef CLOCK_MONOTONIC_COARSE
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
#else
    clock_gettime(CLOCK_MONOTONIC, &now);
#endif
    return now.tv_sec;
}

// The C library loads a zone in tzset(). With TZ set that is cheap while TZ stays the same
// (it compares TZ with the value it loaded), so it is called on every call. With TZ unset it
// checks /etc/localtime each time, which costs more than all the formatting, so it is
// called only when the zone loaded last came from TZ, and else at most once a second: a
// change of the system's zone shows within a second. (So may a zone that other code loaded
// for a TZ value it has removed again without calling tzset().)
struct SystemZone {
    std::mutex mutex;
    std::atomic<bool> loaded{false};  // the last tzset() here ran with TZ unset ...
    std::int64_t loaded_at = 0;       // ... at this monotonic second
    std::optional<std::string> name;  // read when first asked for
};

SystemZone &system_zone() {
    // Destroyed when the library is unloaded, so that unloading it leaks nothing.
    static SystemZone zone;
    return zone;
}

// The file the C library reads the zone from for the TZ value `tz` (null when unset), as
// it chooses it: an empty TZ means UTC, a leading ":" is dropped, a relative name is
// looked up under $TZDIR or the system's zone folder.
std::string zone_file(const char *tz) {
    if (tz && *tz == '\0')
        tz = "Universal";
    if (tz && *tz == ':')
        ++tz;
    if (!tz || *tz == '\0')
        return "/etc/localtime";
    if (*tz == '/')
        return tz;
    const char *folder = std::getenv("TZDIR");
    return std::string(folder && *folder ? folder : "/usr/share/zoneinfo") + "/" + tz;
}

std::int64_t big_endian(const unsigned char *bytes, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | bytes[i];
    // Sign-extend a 4-byte count of seconds.
    if (size == 4)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return static_cast<std::int64_t>(value);
}

// The transition times a compiled zone file (TZif, any version) lists, in order; empty when
// `data` is no such file. Version 2 and later carry the times a second time with 64 bits,
// after the 32-bit block: those are the ones the C library uses.
std::vector<std::int64_t> transition_times(const std::string &data) {
    constexpr std::size_t kHeader = 44;
    auto counts_at = [&](std::size_t at, std::array<std::uint64_t, 6> &counts) {
        if (data.size() < at + kHeader || data.compare(at, 4, "TZif") != 0)
            return false;
        const auto *bytes = reinterpret_cast<const unsigned char *>(data.data()) + at + 20;
        for (std::size_t i = 0; i < counts.size(); ++i)
            counts[i] = static_cast<std::uint32_t>(big_endian(bytes + 4 * i, 4));
        return true;
    };
    // isutcnt, isstdcnt, leapcnt, timecnt, typecnt, charcnt
    std::array<std::uint64_t, 6> c{};
    if (!counts_at(0, c))
        return {};
    std::size_t at = 0;
    int time_size = 4;
    if (data[4] >= '2') {
        at = kHeader + c[3] * 5 + c[4] * 6 + c[5] + c[2] * 8 + c[1] + c[0];
        if (!counts_at(at, c))
            return {};
        time_size = 8;
    }
    at += kHeader;
    if (data.size() - at < c[3] * static_cast<std::uint64_t>(time_size))
        return {};
    std::vector<std::int64_t> times;
    times.reserve(c[3]);
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.data()) + at;
    for (std::uint64_t i = 0; i < c[3]; ++i) {
        const std::int64_t t = big_endian(bytes + i * time_size, time_size);
        if (!times.empty() && t <= times.back())
            return {};  // not in order: no list to trust
        times.push_back(t);
    }
    return times;
}

// The last zone file read for its transitions. Like the C library, which reads the zone
// again for a TZ value only when the value changes, it is kept for its path; the system's
// zone (TZ unset) is looked at again at most once a second, as use_current_zone() does, and
// read again when its file was replaced or changed.
struct TransitionCache {
    std::mutex mutex;
    std::string path;
    std::int64_t checked_at = -1;  // monotonic second of the last look, for the system's zone
    dev_t device = 0;
    ino_t inode = 0;
    struct timespec modified {};
    std::shared_ptr<const std::vector<std::int64_t>> times;
};

TransitionCache &transition_cache() {
    static TransitionCache cache;
    return cache;
}

}  // namespace

namespace qorlib::sys {

std::shared_ptr<const std::vector<std::int64_t>> zone_transitions() {
    const char *tz = std::getenv("TZ");
    const std::string path = zone_file(tz);
    TransitionCache &cache = transition_cache();
    const std::lock_guard<std::mutex> lock(cache.mutex);
    const std::int64_t now = tz ? -1 : monotonic_seconds();
    if (cache.times && cache.path == path && (tz || now == cache.checked_at))
        return cache.times;
    struct stat info {};
    // A rule in TZ itself, or no zone data: nothing listed.
    const bool file =
        stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= (1 << 20);
    if (!cache.times || cache.path != path || cache.device != info.st_dev ||
        cache.inode != info.st_ino || cache.modified.tv_sec != info.st_mtim.tv_sec ||
        cache.modified.tv_nsec != info.st_mtim.tv_nsec) {
        std::ifstream in;
        if (file)
            in.open(path, std::ios::binary);
        const std::string data{std::istreambuf_iterator<char>(in), {}};
        cache.times = std::make_shared<const std::vector<std::int64_t>>(transition_times(data));
        cache.path = path;
        cache.device = info.st_dev;
        cache.inode = info.st_ino;
        cache.modified = info.st_mtim;
    }
    cache.checked_at = now;
    return cache.times;
}

void use_current_zone(std::string *name) {
    SystemZone &system = system_zone();
    if (const char *tz = std::getenv("TZ")) {
        if (system.loaded.load(std::memory_order_relaxed))
            system.loaded.store(false, std::memory_order_relaxed);
        tzset();
        if (name)
            *name = zone_name(tz);
        return;
    }
    const std::lock_guard<std::mutex> lock(system.mutex);
    const std::int64_t now = monotonic_seconds();
    if (!system.loaded.load(std::memory_order_relaxed) || now != system.loaded_at) {
        system.name.reset();
        tzset();
        system.loaded_at = now;
        system.loaded.store(true, std::memory_order_relaxed);
    }
    if (name) {
        if (!system.name)
            system.name = zone_name(nullptr);
        *name = *system.name;
    }
}

ZoneState zone_at(std::int64_t unix_seconds) {
    ZoneState state;
    const time_t t = static_cast<time_t>(unix_seconds);
    struct tm parts {};
    if (!localtime_r(&t, &parts))
        return state;
    state.offset = parts.tm_gmtoff;
    state.dst = parts.tm_isdst > 0;
    if (parts.tm_zone && parts.tm_zone[0])
        state.abbreviation = parts.tm_zone;
    else
        state.abbreviation.clear();
    return state;
}

}  // namespace qorlib::sys
