#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/utsname.h>
#include <unistd.h>
#endif

#include <fstream>
#include <memory>
#include <string>

#include "qorlib145.h"
#include "text_result.h"

namespace {

TEST(Texts, NewCopiesBytesAndTerminates) {
    Text t(qor_text_new("a\0b", 3));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->length, 3u);
    EXPECT_EQ(str(t), std::string("a\0b", 3));
    EXPECT_EQ(t->data[3], '\0');
    Text zeros(qor_text_new(nullptr, 4));
    EXPECT_EQ(str(zeros), std::string(4, '\0'));
    EXPECT_EQ(qor_text_new("x", QOR_TEXT_MAX + 1), nullptr);
    qor_text_free(nullptr);  // must be harmless
}

TEST(Variants, ClearReleasesAndEmpties) {
    qor_variant v{};
    v.type = QOR_VARIANT_TEXT_ARRAY;
    v.count = 2;
    v.items = static_cast<qor_text **>(calloc(2, sizeof(qor_text *)));
    v.items[0] = qor_text_new("a", 1);
    v.items[1] = qor_text_new("b", 1);
    qor_variant_clear(&v);
    EXPECT_EQ(v.type, QOR_VARIANT_EMPTY);
    EXPECT_EQ(v.items, nullptr);
    qor_variant_clear(nullptr);
}

// The Windows figures have their own tests (system_win32_test.cpp).
#if !defined(_WIN32)
TEST(System, VersionAndNames) {
    EXPECT_EQ(LibVersion(), 125);
    struct utsname u {};
    ASSERT_EQ(uname(&u), 0);
    Text version(WindowsVersion());
    EXPECT_EQ(str(version), std::string(u.sysname) + " " + u.release);
    Text sub(WindowsSubVersion());
    EXPECT_FALSE(str(sub).empty());
}

TEST(System, ProcessFigures) {
    EXPECT_EQ(GetPID(), static_cast<int32_t>(getpid()));
    // Resident memory read independently from /proc/self/status (VmRSS in kB).
    std::ifstream status("/proc/self/status");
    std::string key;
    long long kb = -1;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> kb;
            break;
        }
    }
    ASSERT_GT(kb, 0);
    const int32_t bytes = GetProcessMemoryUsed(GetPID());
    EXPECT_NEAR(static_cast<double>(bytes), kb * 1024.0, 16 * 1024 * 1024.0);
    for (int32_t bad : {0, -1, -2147483647 - 1, 2147483647})
        EXPECT_EQ(GetProcessMemoryUsed(bad), -1) << bad;
}
#endif

}  // namespace
