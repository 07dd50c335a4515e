// System, process and memory figures on Windows, checked against what other Windows
// interfaces report: the registry, the C runtime and the performance counters.
#include <windows.h>  // before psapi.h

#include <gtest/gtest.h>
#include <process.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "qorlib145.h"
#include "text_result.h"

namespace {

constexpr double MiB = 1048576.0;

std::wstring registry_text(HKEY root, const wchar_t *key, const wchar_t *name) {
    wchar_t value[256] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

std::string latin1(const std::wstring &wide) {
    std::string text;
    for (wchar_t c : wide)
        text += static_cast<char>(c);
    return text;
}

constexpr const wchar_t *kCurrentVersion = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

TEST(SystemWin32, VersionAgreesWithTheRegistry) {
    unsigned major = 0, minor = 0, build = 0;
    const std::string version = str(WindowsVersion());
    ASSERT_EQ(std::sscanf(version.c_str(), "Windows %u.%u.%u", &major, &minor, &build), 3)
        << version;
    EXPECT_EQ(version, "Windows " + std::to_string(major) + "." + std::to_string(minor) + "." +
                           std::to_string(build));
    EXPECT_EQ(std::to_wstring(build),
              registry_text(HKEY_LOCAL_MACHINE, kCurrentVersion, L"CurrentBuildNumber"));
    // Windows 10 and later freeze CurrentVersion at 6.3 and name the real figures apart.
    DWORD registry_major = 0, size = sizeof registry_major;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kCurrentVersion, L"CurrentMajorVersionNumber",
                     RRF_RT_REG_DWORD, nullptr, &registry_major, &size) == ERROR_SUCCESS)
        EXPECT_EQ(major, registry_major);
    else
        EXPECT_EQ(std::to_wstring(major) + L"." + std::to_wstring(minor),
                  registry_text(HKEY_LOCAL_MACHINE, kCurrentVersion, L"CurrentVersion"));
}

TEST(SystemWin32, SubVersionNamesProductTypeAndServicePack) {
    const std::wstring type = registry_text(
        HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", L"ProductType");
    std::string expected = type == L"WinNT"      ? "Workstation"
                           : type == L"ServerNT" ? "Server"
                           : type == L"LanmanNT" ? "Domain controller"
                                                 : "";
    ASSERT_FALSE(expected.empty()) << "unknown product type " << latin1(type);
    const std::wstring pack = registry_text(HKEY_LOCAL_MACHINE, kCurrentVersion, L"CSDVersion");
    if (!pack.empty())
        expected += ", " + latin1(pack);
    EXPECT_EQ(str(WindowsSubVersion()), expected);
}

TEST(SystemWin32, ProcessIdAndItsWorkingSet) {
    EXPECT_EQ(GetPID(), _getpid());
    const double before = GetProcessMemoryUsed(GetPID());
    ASSERT_GT(before, 0);
    // Touching 64 MiB more makes the working set grow by about that much.
    const size_t size = 64 << 20;
    void *block = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, size);
    const double after = GetProcessMemoryUsed(GetPID());
    VirtualFree(block, 0, MEM_RELEASE);
    EXPECT_NEAR(after - before, 64 * MiB, 16 * MiB);

    for (int32_t bad : {0, -1, -2147483647 - 1, 2147483644})
        EXPECT_EQ(GetProcessMemoryUsed(bad), -1) << bad;
}

TEST(MemoryWin32, FiguresAgreeWithThePerformanceCounters) {
    PERFORMANCE_INFORMATION info{};
    ASSERT_TRUE(GetPerformanceInfo(&info, sizeof info));
    const double page = static_cast<double>(info.PageSize);
    EXPECT_EQ(GetTotalPhysicalMemory(), static_cast<double>(info.PhysicalTotal) * page);
    // The page-file figures are the commit limit and what is left of it.
    EXPECT_EQ(GetTotalSwapfileMemory(), static_cast<double>(info.CommitLimit) * page);
    EXPECT_NEAR(GetAvailableSwapfileMemory(),
                static_cast<double>(info.CommitLimit - info.CommitTotal) * page, 512 * MiB);
    EXPECT_NEAR(GetAvailablePhysicalMemory(), static_cast<double>(info.PhysicalAvailable) * page,
                512 * MiB);

    EXPECT_GT(GetAvailablePhysicalMemory(), 0);
    EXPECT_LE(GetAvailablePhysicalMemory(), GetTotalPhysicalMemory());
    EXPECT_LE(GetAvailableSwapfileMemory(), GetTotalSwapfileMemory());
    // The user part of a 64-bit process's address space: 8 TiB before Windows 8.1, 128 TiB
    // since; mapped memory is already taken from it.
    const double total_virtual = GetTotalVirtualMemory();
    EXPECT_TRUE(total_virtual > 8e12 && total_virtual <= 140737488355328.0) << total_virtual;
    EXPECT_GT(GetAvailableVirtualMemory(), 0);
    EXPECT_LT(GetAvailableVirtualMemory(), total_virtual);
}

}  // namespace
