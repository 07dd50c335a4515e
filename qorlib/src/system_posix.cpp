// System names and process figures on POSIX systems: uname, os-release and /proc.
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

#include "platform.h"

namespace {

std::string os_release_pretty_name() {
    std::ifstream in("/etc/os-release");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("PRETTY_NAME=", 0) != 0)
            continue;
        std::string value = line.substr(12);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return {};
}

}  // namespace

namespace qorlib::sys {

std::int32_t process_id() noexcept {
    return static_cast<std::int32_t>(getpid());
}

std::optional<std::uint64_t> process_memory(std::int32_t pid) {
    // The second field of statm is the resident set in pages.
    std::ifstream in("/proc/" + std::to_string(pid) + "/statm");
    long long total_pages = 0, resident_pages = 0;
    if (!(in >> total_pages >> resident_pages) || resident_pages < 0)
        return std::nullopt;
    const long page = sysconf(_SC_PAGESIZE);
    if (page <= 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(resident_pages) * static_cast<std::uint64_t>(page);
}

std::string system_version() {
    struct utsname names {};
    if (uname(&names) != 0 || names.sysname[0] == '\0')
        return {};
    return std::string(names.sysname) + " " + names.release;
}

std::string system_sub_version() {
    std::string name = os_release_pretty_name();
    if (name.empty()) {
        struct utsname names {};
        if (uname(&names) == 0)
            name = names.version;
    }
    return name;
}

}  // namespace qorlib::sys
