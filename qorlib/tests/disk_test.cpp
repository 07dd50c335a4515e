#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "qorlib145.h"

namespace {

constexpr double MiB = 1048576.0;

// Points the drive map at a fresh folder: C is the folder, D a missing folder inside it,
// F a plain file; the previous map comes back afterwards.
class DiskDrives : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char *old = std::getenv("QORLIB_DRIVES"))
            saved_ = old;
        char pattern[] = "/tmp/qordiskXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        std::ofstream(root_ + "/file.txt") << "x";
        map("C=" + root_ + ";D=" + root_ + "/missing;F=" + root_ + "/file.txt");
    }
    void TearDown() override {
        if (saved_)
            setenv("QORLIB_DRIVES", saved_->c_str(), 1);
        else
            unsetenv("QORLIB_DRIVES");
        std::remove((root_ + "/file.txt").c_str());
        rmdir(root_.c_str());
    }
    static void map(const std::string &drives) { setenv("QORLIB_DRIVES", drives.c_str(), 1); }

    struct statvfs fs() const {
        struct statvfs info {};
        EXPECT_EQ(statvfs(root_.c_str(), &info), 0);
        return info;
    }

    std::string root_;
    std::optional<std::string> saved_;
};

TEST_F(DiskDrives, NamesOfAValidDrive) {
    for (const char *name : {"C", "c", "C:", "c:", "C:\\", "c:/"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(IsValidDisk(name), QOR_YES);
        EXPECT_EQ(IsHardDisk(name), QOR_YES);
        EXPECT_EQ(IsCDROMDisk(name), QOR_NO);
    }
}

TEST_F(DiskDrives, NoDriveGivesTheDocumentedFailures) {
    struct {
        const char *reason;
        const char *name;
    } cases[] = {
        {"impossible letter", "&"},
        {"mapped to a missing folder", "D"},
        {"mapped to a plain file", "F"},
        {"unmapped letter", "E"},
        {"empty name", ""},
        {"null name", nullptr},
        {"two letters", "CC"},
        {"a path, not a drive", "C:\\temp"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason);
        EXPECT_EQ(IsValidDisk(c.name), QOR_NO);
        EXPECT_EQ(IsHardDisk(c.name), QOR_NO);
        EXPECT_EQ(IsCDROMDisk(c.name), QOR_NO);
        EXPECT_EQ(DiskFree(c.name), -1.0);
        EXPECT_EQ(GetDiskSize(c.name, -1), -10000);
        EXPECT_EQ(GetDiskSize(c.name, 0), -10000);
        EXPECT_EQ(GetDiskSizeMb(c.name), -1);
        EXPECT_EQ(GetDiskSizeGb(c.name), -1.0);
    }
}

TEST_F(DiskDrives, SizesMatchTheFileSystem) {
    const struct statvfs info = fs();
    const auto total = static_cast<std::uint64_t>(info.f_blocks) * info.f_frsize;
    const auto free = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
    ASSERT_LT(total, static_cast<std::uint64_t>(INT64_MAX / 10000));

    EXPECT_EQ(GetDiskSize("c", -1), static_cast<std::int64_t>(total) * 10000);
    EXPECT_EQ(GetDiskSize("c", 7), static_cast<std::int64_t>(total) * 10000);
    EXPECT_NEAR(static_cast<double>(GetDiskSize("c", 0)) / 10000, static_cast<double>(free),
                64 * MiB);
    EXPECT_EQ(GetDiskSize("c", 0) % 10000, 0);
    EXPECT_EQ(GetDiskSizeMb("c"), static_cast<std::int32_t>(total / 1048576));
    EXPECT_DOUBLE_EQ(GetDiskSizeGb("c"), static_cast<double>(total) / 1073741824.0);
    EXPECT_NEAR(DiskFree("C:\\"), static_cast<double>(free), 64 * MiB);
}

}  // namespace
