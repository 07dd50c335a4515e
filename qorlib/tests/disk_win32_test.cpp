// Drives on Windows: the system's own drive letters, whatever the POSIX drive map says.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "qorlib145.h"

namespace {

TEST(DiskWin32, ValidDrivesAreTheSystemsLogicalDrives) {
    // The POSIX drive map means nothing here.
    _putenv("QORLIB_DRIVES=C=C:\\;K=C:\\");
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string name(1, letter);
        const bool exists = (drives >> (letter - 'A')) & 1;
        EXPECT_EQ(IsValidDisk(name.c_str()), exists ? QOR_YES : QOR_NO) << letter;
        if (!exists) {
            EXPECT_EQ(IsHardDisk(name.c_str()), QOR_NO) << letter;
            EXPECT_EQ(IsCDROMDisk(name.c_str()), QOR_NO) << letter;
            EXPECT_EQ(DiskFree(name.c_str()), -1.0) << letter;
            EXPECT_EQ(GetDiskSize(name.c_str(), -1), -10000) << letter;
        }
    }
    _putenv("QORLIB_DRIVES=");
}

TEST(DiskWin32, DriveCInEveryNameForm) {
    ULARGE_INTEGER free{}, total{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &free, &total, nullptr));
    for (const char *name : {"C", "c", "C:", "c:", "C:\\", "c:/"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(IsValidDisk(name), QOR_YES);
        EXPECT_EQ(IsHardDisk(name), QOR_YES);
        EXPECT_EQ(IsCDROMDisk(name), QOR_NO);
        EXPECT_EQ(GetDiskSizeMb(name), static_cast<int32_t>(total.QuadPart >> 20));
        EXPECT_NEAR(DiskFree(name), static_cast<double>(free.QuadPart), 64 * 1048576.0);
    }
    for (const char *name : {"&", "", "CC", "C:\\temp", "C:x", "1"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(IsValidDisk(name), QOR_NO);
        EXPECT_EQ(GetDiskSizeGb(name), -1.0);
    }
    EXPECT_EQ(IsValidDisk(nullptr), QOR_NO);
}

// The test run under Wine makes drive Q: a CD-ROM drive and names it here.
TEST(DiskWin32, OpticalDrive) {
    const char *letter = std::getenv("QORLIB_TEST_CDROM");
    if (!letter || !*letter)
        GTEST_SKIP() << "no CD-ROM drive named in QORLIB_TEST_CDROM";
    EXPECT_EQ(IsValidDisk(letter), QOR_YES);
    EXPECT_EQ(IsCDROMDisk(letter), QOR_YES);
    EXPECT_EQ(IsHardDisk(letter), QOR_NO);
}

}  // namespace
