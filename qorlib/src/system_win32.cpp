// System names and process figures on Windows: RtlGetVersion and GetProcessMemoryInfo.
#include "win32.h"  // windows.h before psapi.h

#include <psapi.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform.h"

namespace {

// RtlGetVersion tells the truth where GetVersionEx answers what the program's manifest
// claims to support.
std::optional<RTL_OSVERSIONINFOEXW> os_version() {
    using RtlGetVersionFn = LONG(WINAPI *)(RTL_OSVERSIONINFOW *);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                                 reinterpret_cast<void *>(GetProcAddress(ntdll, "RtlGetVersion")))
                           : nullptr;
    RTL_OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!get || get(reinterpret_cast<RTL_OSVERSIONINFOW *>(&info)) != 0)
        return std::nullopt;
    return info;
}

}  // namespace

namespace qorlib::sys {

std::int32_t process_id() noexcept {
    return static_cast<std::int32_t>(GetCurrentProcessId());
}

std::optional<std::uint64_t> process_memory(std::int32_t pid) {
    const auto id = static_cast<DWORD>(pid);
    // Windows before 8.1 wants the wider rights for the same figures.
    win32::Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    win32::Handle fallback(
        process.valid() ? nullptr
                        : OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
    const HANDLE handle = process.valid() ? process.get() : fallback.get();
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!handle || !GetProcessMemoryInfo(handle, &counters, sizeof counters))
        return std::nullopt;
    return static_cast<std::uint64_t>(counters.WorkingSetSize);
}

std::string system_version() {
    const std::optional<RTL_OSVERSIONINFOEXW> info = os_version();
    if (!info)
        return {};
    return "Windows " + std::to_string(info->dwMajorVersion) + "." +
           std::to_string(info->dwMinorVersion) + "." + std::to_string(info->dwBuildNumber);
}

std::string system_sub_version() {
    const std::optional<RTL_OSVERSIONINFOEXW> info = os_version();
    if (!info)
        return {};
    std::string text;
    switch (info->wProductType) {
        case VER_NT_WORKSTATION:
            text = "Workstation";
            break;
        case VER_NT_DOMAIN_CONTROLLER:
            text = "Domain controller";
            break;
        case VER_NT_SERVER:
            text = "Server";
            break;
        default:
            break;
    }
    const std::string service_pack = win32::narrow(info->szCSDVersion);
    if (!service_pack.empty())
        text += (text.empty() ? "" : ", ") + service_pack;
    return text;
}

}  // namespace qorlib::sys
