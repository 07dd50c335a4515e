// Library version, operating-system names and process figures.
#include <sys/utsname.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "internal.h"

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

extern "C" QOR_API int32_t LibVersion(void) {
    return QORLIB145_VERSION_NUMBER;
}

extern "C" QOR_API qor_text *WindowsVersion(void) {
    struct utsname names {};
    if (uname(&names) != 0 || names.sysname[0] == '\0')
        return qorlib::make_text("Unknown");
    return qorlib::make_text(std::string(names.sysname) + " " + names.release);
}

extern "C" QOR_API qor_text *WindowsSubVersion(void) {
    std::string name = os_release_pretty_name();
    if (name.empty()) {
        struct utsname names {};
        if (uname(&names) == 0)
            name = names.version;
    }
    if (name.empty())
        name = "Unknown";
    return qorlib::make_text(name);
}

extern "C" QOR_API int32_t GetPID(void) {
    return static_cast<int32_t>(getpid());
}

extern "C" QOR_API int32_t GetProcessMemoryUsed(int32_t pid) {
    if (pid <= 0)
        return -1;
    // The second field of statm is the resident set in pages.
    std::ifstream in("/proc/" + std::to_string(pid) + "/statm");
    long long total_pages = 0, resident_pages = 0;
    if (!(in >> total_pages >> resident_pages) || resident_pages < 0)
        return -1;
    long page = sysconf(_SC_PAGESIZE);
    if (page <= 0)
        return -1;
    long long bytes = resident_pages * static_cast<long long>(page);
    return bytes > INT32_MAX ? INT32_MAX : static_cast<int32_t>(bytes);
}
