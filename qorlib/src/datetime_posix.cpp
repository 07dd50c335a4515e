// The local time zone on POSIX systems: the C library's tzset() and localtime_r(), the zone
// named by TZ or by the system's files.
#include <time.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>

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

}  // namespace

namespace qorlib::sys {

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
