#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/utsname.h>
#include <unistd.h>
#endif

#include <fstream>
#include <memory>
#include <string>
#include <thread>

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

// Texts of 32 to 64 MiB reuse the memory of the last one released: whatever the old text
// left there, the new one must hold exactly its own bytes, also when a result grows.
TEST(Texts, LargeTextsReuseReleasedMemoryCleanly) {
    const size_t mib = size_t{1} << 20;
    const std::string bytes(17 * mib, '\xAB');
    Text first(StringToHex(bytes.c_str()));
    ASSERT_TRUE(first);
    const char *memory = first->data;
    first.reset();
    Text hex(StringToHex(std::string(16 * mib + 3, 'z').c_str()));  // a little smaller
    ASSERT_TRUE(hex);
    EXPECT_EQ(hex->data, memory) << "the released block was not reused";
    EXPECT_EQ(str(hex), [&] {
        std::string expected;
        for (size_t i = 0; i < 16 * mib + 3; ++i)
            expected += "7A";
        return expected;
    }());
    hex.reset();
    // Plain bytes first, escapes after: the result outgrows the room its start promised.
    std::string text(20 * mib, '/');
    std::fill_n(text.begin(), 4096, 'a');
    Text encoded(URLEncode(text.c_str()));
    ASSERT_TRUE(encoded);
    ASSERT_EQ(encoded->length, 4096 + 3 * (text.size() - 4096));
    EXPECT_EQ(encoded->data[encoded->length], '\0');
    EXPECT_EQ(std::string_view(encoded->data + 4090, 9), "aaaaaa%2F");
    EXPECT_EQ(std::string_view(encoded->data + encoded->length - 3, 3), "%2F");
    EXPECT_EQ(str(Text(qor_text_new(nullptr, 40 * mib))), std::string(40 * mib, '\0'));
}

TEST(Texts, LargeTextsAreSafeAcrossThreads) {
    auto work = [](char fill) {
        const size_t size = (size_t{33} << 20) + static_cast<unsigned char>(fill);
        const std::string bytes(size, fill);
        for (int round = 0; round < 4; ++round) {
            Text t(qor_text_new(bytes.data(), size));
            ASSERT_TRUE(t);
            EXPECT_EQ(t->length, size);
            EXPECT_TRUE(str(t) == bytes) << "thread " << fill << ", round " << round;
        }
    };
    std::thread other(work, 'x');
    work('y');
    other.join();
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
