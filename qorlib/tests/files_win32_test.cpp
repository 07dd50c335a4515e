// Files, folders and listings on Windows, through Windows paths with Latin-1 names.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "qorlib145.h"
#include "text_result.h"

namespace {

namespace fs = std::filesystem;

const std::string kBoot = std::string("[boot loader]\r\ntimeout=30\r\n\0\x01\xFE\xFF;", 33);

// A fresh folder in the temporary folder, with files whose names need more than ASCII.
class FilesWin32 : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() / ("qorlib-files-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "folder.sys");
        fs::create_directories(root_ / "sub");
        for (wchar_t c : root_.wstring())
            ASSERT_LT(c, 0x100) << "the temporary folder needs a Latin-1 name";
        for (wchar_t c : root_.wstring())
            text_root_ += static_cast<char>(c);
        write(L"boot.ini", kBoot);
        write(L"config.sys", "DEVICE=x\r\n");
        write(L"empty.log", "");
        write(L"caf\u00e9.ini", "caf\xE9");
        write(L"\u65E5\u672C.log", "no Latin-1 name");
        write(L"sub\\deep.txt", "deep");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // The path of `name` in the folder, as callers of the library write it.
    std::string path(const std::string &name) const { return text_root_ + "\\" + name; }
    void write(const fs::path &name, const std::string &bytes) {
        std::ofstream(root_ / name, std::ios::binary) << bytes;
    }
    // A file of `size` bytes ending in "end", made by moving its end rather than writing.
    void sized(const fs::path &name, std::uintmax_t size) {
        write(name, "");
        fs::resize_file(root_ / name, size);
        std::fstream file(root_ / name, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(size - 3));
        file << "end";
    }

    std::vector<std::string> list(const std::string &folder, const char *patterns) {
        return listed_names(folder.c_str(), patterns);
    }

    fs::path root_;
    std::string text_root_;
};

using Names = std::vector<std::string>;

TEST_F(FilesWin32, FileExists) {
    struct Case {
        std::string path;
        int16_t yes;
    } cases[] = {
        {path("boot.ini"), QOR_YES},
        {path("BOOT.INI"), QOR_YES},  // Windows names ignore case
        {text_root_ + "/boot.ini", QOR_YES},
        {path("sub\\deep.txt"), QOR_YES},
        {path("caf\xE9.ini"), QOR_YES},  // Latin-1 name, UTF-16 on disk
        {path("CAF\xC9.INI"), QOR_YES},
        {path("empty.log"), QOR_YES},
        {path("nonexistent.fil"), QOR_NO},
        {path("folder.sys"), QOR_NO},
        {path("boot.ini\\"), QOR_NO},
        {text_root_, QOR_NO},
        {text_root_ + "\\", QOR_NO},
        {path("*.sys"), QOR_YES},  // config.sys, not the folder
        {path("B??T.INI"), QOR_YES},
        {path("caf?.*"), QOR_YES},
        {path("??.log"), QOR_YES},  // the name Latin-1 cannot write shows "?"
        {path("fold*"), QOR_NO},    // only the folder matches
        {path("*.xyz"), QOR_NO},
        {path("sub\\*.txt"), QOR_YES},
        {path("s*b\\deep.txt"), QOR_NO},  // wildcards only in the last part
        {path("nosuchdir\\*"), QOR_NO},
        // Devices are no files, wherever their names stand.
        {"NUL", QOR_NO},
        {"CON", QOR_NO},
        {path("nul"), QOR_NO},
        {"\\\\.\\pipe\\qorlib", QOR_NO},
        {"\\\\.\\C:", QOR_NO},
        {"\\\\?\\" + path("boot.ini"), QOR_YES},
        {"", QOR_NO},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FileExists(c.path.c_str()), c.yes) << c.path;
    EXPECT_EQ(FileExists(nullptr), QOR_NO);
}

TEST_F(FilesWin32, ReadFileGivesEveryByteOrNothing) {
    struct Case {
        std::string path;
        std::string content;
    } cases[] = {
        {path("boot.ini"), kBoot},
        {text_root_ + "/boot.ini", kBoot},
        {"\\\\?\\" + path("boot.ini"), kBoot},
        {path("sub\\deep.txt"), "deep"},
        {path("CAF\xC9.ini"), "caf\xE9"},
        {path("empty.log"), ""},
        {path("nonexistent.fil"), ""},
        {path("folder.sys"), ""},
        {path("*.sys"), ""},  // no wildcards here
        {"NUL", ""},
        {"CON", ""},  // would wait for the keyboard
        {path("nul"), ""},
        {"\\\\.\\pipe\\qorlib", ""},
        {"\\\\.\\C:", ""},  // the raw volume
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(_readfile(c.path.c_str(), 0)), c.content) << c.path;
    EXPECT_EQ(str(_readfile(nullptr, 0)), "");
}

TEST_F(FilesWin32, ReadFileSizeCap) {
    constexpr std::uintmax_t kCap = std::uintmax_t{64} << 20;
    sized(L"at-cap.bin", kCap);
    sized(L"over-cap.bin", kCap + 1);
    Text at(_readfile(path("at-cap.bin").c_str(), 0));
    ASSERT_TRUE(at);
    ASSERT_EQ(at->length, static_cast<size_t>(kCap));
    EXPECT_EQ(std::string(at->data + at->length - 3, 3), "end");
    EXPECT_EQ(str(_readfile(path("over-cap.bin").c_str(), 0)), "");
}

TEST_F(FilesWin32, ListsRegularFilesSortedWithoutRegardToCase) {
    write(L"Z.BAT", "");
    write(L"a.bat", "");
    write(L"readme.txt", "");
    const Names expected = {"??.log",     "a.bat",     "boot.ini", "caf\xE9.ini",
                            "config.sys", "empty.log", "Z.BAT"};
    for (const std::string &folder : {text_root_, text_root_ + "\\", text_root_ + "/"})
        EXPECT_EQ(list(folder, "*.sys, *.ini, *.log, *.bat"), expected) << folder;
    EXPECT_EQ(list(text_root_, "C*"), (Names{"caf\xE9.ini", "config.sys"}));
    EXPECT_EQ(list(text_root_, "*.doc"), Names{});
    EXPECT_EQ(list(path("boot.ini"), "*"), Names{});  // a file, not a folder
    EXPECT_EQ(list(path("missing"), "*"), Names{});
    EXPECT_EQ(list("\\\\.\\pipe\\", "*"), Names{});  // a device folder lists nothing
}

TEST(WindowsDirWin32, IsTheSystemRootWithABackslash) {
    const char *root = std::getenv("SystemRoot");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(str(GetWindowsDir()), std::string(root) + "\\");
    // The POSIX override means nothing here.
    _putenv("QORLIB_WINDIR=C:\\elsewhere");
    EXPECT_EQ(str(GetWindowsDir()), std::string(root) + "\\");
    _putenv("QORLIB_WINDIR=");
    EXPECT_EQ(FileExists((str(GetWindowsDir()) + "win.ini").c_str()), QOR_YES);
}

}  // namespace
