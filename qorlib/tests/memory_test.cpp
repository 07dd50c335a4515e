#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "memory_figures.h"
#include "qorlib145.h"

namespace {

constexpr double MiB = 1048576.0;

// "Key: value kB" lines of a /proc file, in bytes, read with a parser of the test's own.
std::map<std::string, double> proc_figures(const char *path) {
    std::map<std::string, double> figures;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key, unit;
        double value = 0;
        if (!(fields >> key >> value) || key.empty() || key.back() != ':')
            continue;
        fields >> unit;
        key.pop_back();
        figures[key] = unit == "kB" ? value * 1024 : value;
    }
    return figures;
}

TEST(MemoryFigures, ReadsKeyedFields) {
    struct {
        const char *name;
        const char *text;
        const char *key;
        std::optional<double> expected;
    } cases[] = {
        {"kB figure", "MemTotal:       1024 kB\nMemFree: 5 kB\n", "MemTotal", 1048576.0},
        {"later line", "MemTotal: 1 kB\nMemFree:   7 kB\n", "MemFree", 7168.0},
        {"tab separated", "VmSize:\t  200 kB\n", "VmSize", 204800.0},
        {"no unit", "HugePages_Total:       3\n", "HugePages_Total", 3.0},
        {"last line without break", "SwapFree: 2 kB", "SwapFree", 2048.0},
        {"zero", "SwapTotal:  0 kB\n", "SwapTotal", 0.0},
        {"absent", "MemTotal: 1 kB\n", "SwapTotal", std::nullopt},
        {"longer name is another key", "MemTotalX: 5 kB\n", "MemTotal", std::nullopt},
        {"prefix of the name", "MemTotal: 5 kB\n", "Mem", std::nullopt},
        {"name inside a line", "xMemTotal: 5 kB\n", "MemTotal", std::nullopt},
        {"not a number", "MemTotal: abc kB\n", "MemTotal", std::nullopt},
        {"negative", "MemTotal: -5 kB\n", "MemTotal", std::nullopt},
        {"unknown unit", "MemTotal: 5 MB\n", "MemTotal", std::nullopt},
        {"empty text", "", "MemTotal", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(qorlib::kib_field(c.text, c.key), c.expected);
    }
}

TEST(Memory, MachineFiguresMatchMeminfo) {
    auto before = proc_figures("/proc/meminfo");
    ASSERT_TRUE(before.count("MemTotal"));
    // Fixed figures compare exactly; moving ones within a margin.
    EXPECT_EQ(GetTotalPhysicalMemory(), before["MemTotal"]);
    EXPECT_EQ(GetTotalSwapfileMemory(), before.count("SwapTotal") ? before["SwapTotal"] : -1);
    EXPECT_NEAR(GetAvailablePhysicalMemory(), before["MemAvailable"], 512 * MiB);
    EXPECT_NEAR(GetAvailableSwapfileMemory(), before["SwapFree"], 512 * MiB);
    EXPECT_GT(GetAvailablePhysicalMemory(), 0);
    EXPECT_LE(GetAvailablePhysicalMemory(), GetTotalPhysicalMemory());
    EXPECT_GE(GetAvailableSwapfileMemory(), 0);
    EXPECT_LE(GetAvailableSwapfileMemory(), GetTotalSwapfileMemory());
}

TEST(Memory, VirtualFiguresFollowTheAddressSpace) {
    struct rlimit limit {};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &limit), 0);
    const double total = limit.rlim_cur == RLIM_INFINITY ? qorlib::user_address_range()
                                                         : static_cast<double>(limit.rlim_cur);
    EXPECT_EQ(GetTotalVirtualMemory(), total);
#if defined(__x86_64__)
    EXPECT_EQ(qorlib::user_address_range(), 140737488355328.0);
#endif
    const double mapped = proc_figures("/proc/self/status")["VmSize"];
    ASSERT_GT(mapped, 0);
    EXPECT_NEAR(GetAvailableVirtualMemory(), total - mapped, 1024 * MiB);
}

// Runs `check` in a child process whose address space is limited to `limit` bytes, so the
// test process keeps its own limit.
bool holds_with_limit(double limit, bool (*check)(double)) {
    const pid_t child = fork();
    if (child == 0) {
        struct rlimit cap {};
        cap.rlim_cur = static_cast<rlim_t>(limit);
        cap.rlim_max = RLIM_INFINITY;
        struct rlimit current {};
        getrlimit(RLIMIT_AS, &current);
        cap.rlim_max = current.rlim_max;
        if (setrlimit(RLIMIT_AS, &cap) != 0)
            _exit(2);
        _exit(check(limit) ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(Memory, AddressSpaceLimitIsTheVirtualTotal) {
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer reserves terabytes of address space; a limit leaves it unable to run.
    GTEST_SKIP() << "an address-space limit cannot be set under AddressSanitizer";
#endif
    const double mapped = proc_figures("/proc/self/status")["VmSize"];
    ASSERT_GT(mapped, 0);
    const double roomy = std::floor((mapped * 2 + 4096 * MiB) / 4096) * 4096;
    EXPECT_TRUE(holds_with_limit(roomy, [](double limit) {
        const double available = GetAvailableVirtualMemory();
        return GetTotalVirtualMemory() == limit && available > 0 && available < limit;
    }));
    // A limit below what is mapped already leaves no room, not a negative figure.
    const double tight = std::floor(mapped / 2 / 4096) * 4096;
    EXPECT_TRUE(holds_with_limit(tight, [](double limit) {
        return GetTotalVirtualMemory() == limit && GetAvailableVirtualMemory() == 0;
    }));
}

}  // namespace
