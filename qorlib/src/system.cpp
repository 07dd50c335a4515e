// Library version, operating-system names and process figures.
#include <climits>
#include <cstdint>
#include <new>
#include <optional>
#include <string>

#include "internal.h"
#include "platform.h"

namespace {

qor_text *known_or_unknown(std::string (*read)()) {
    try {
        std::string name = read();
        return qorlib::make_text(name.empty() ? std::string_view("Unknown") : name);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

}  // namespace

extern "C" QOR_API int32_t LibVersion(void) {
    return QORLIB145_VERSION_NUMBER;
}

extern "C" QOR_API qor_text *WindowsVersion(void) {
    return known_or_unknown(qorlib::sys::system_version);
}

extern "C" QOR_API qor_text *WindowsSubVersion(void) {
    return known_or_unknown(qorlib::sys::system_sub_version);
}

extern "C" QOR_API int32_t GetPID(void) {
    return qorlib::sys::process_id();
}

extern "C" QOR_API int32_t GetProcessMemoryUsed(int32_t pid) {
    if (pid <= 0)
        return -1;
    try {
        const std::optional<std::uint64_t> bytes = qorlib::sys::process_memory(pid);
        if (!bytes)
            return -1;
        return *bytes > INT32_MAX ? INT32_MAX : static_cast<int32_t>(*bytes);
    } catch (const std::bad_alloc &) {
        return -1;
    }
}
