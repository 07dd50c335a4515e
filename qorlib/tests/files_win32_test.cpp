// Files, folders and listings on Windows, through Windows paths with Latin-1 names.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "qorlib145.h"
#include "text_result.h"

namespace {

const std::string kBoot = std::string("[boot loader]\r\ntimeout=30\r\n\0\x01\xFE\xFF;", 33);

std::wstring widen(const std::string &latin1) {
    std::wstring wide;
    for (char c : latin1)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return wide;
}

// A fresh folder in the temporary folder, with files whose names need more than ASCII.
class FilesWin32 : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
        for (wchar_t *c = temp; *c; ++c)
            ASSERT_LT(*c, 0x100) << "the temporary folder needs a Latin-1 name";
        for (int n = 0; root_.empty(); ++n) {
            std::string candidate;
            for (wchar_t *c = temp; *c; ++c)
                candidate += static_cast<char>(*c);
            candidate +=
                "qorlib-files-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n);
            if (CreateDirectoryW(widen(candidate).c_str(), nullptr))
                root_ = candidate;
            else
                ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
        }
        write("boot.ini", kBoot);
        write("config.sys", "DEVICE=x\r\n");
        write("empty.log", "");
        write("caf\xE9.ini", "caf\xE9");
        write_wide(L"\u65E5\u672C.log", "no Latin-1 name");
        folder("folder.sys");
        folder("sub");
        write("sub\\deep.txt", "deep");
    }
    void TearDown() override {
        // Remove the folder and everything in it.
        std::wstring from = widen(root_) + L'\0';
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        SHFileOperationW(&op);
    }

    std::string path(const std::string &name) const { return root_ + "\\" + name; }
    void write(const std::string &name, const std::string &bytes) {
        write_wide(widen(name), bytes);
    }
    void write_wide(const std::wstring &name, const std::string &bytes) {
        HANDLE file = CreateFileW((widen(root_) + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        EXPECT_TRUE(
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        CloseHandle(file);
    }
    void folder(const std::string &name) {
        ASSERT_TRUE(CreateDirectoryW(widen(path(name)).c_str(), nullptr));
    }
    // A file of `size` bytes ending in "end", made by moving its end rather than writing.
    void sized(const std::string &name, LONGLONG size) {
        HANDLE file = CreateFileW(widen(path(name)).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER at{};
        at.QuadPart = size - 3;
        DWORD written = 0;
        EXPECT_TRUE(SetFilePointerEx(file, at, nullptr, FILE_BEGIN));
        EXPECT_TRUE(WriteFile(file, "end", 3, &written, nullptr));
        CloseHandle(file);
    }

    std::vector<std::string> list(const std::string &folder, const char *patterns) {
        qor_variant v{};
        ListFiles(&v, folder.c_str(), patterns, 0);
        std::vector<std::string> names;
        if (v.type == QOR_VARIANT_EMPTY)
            return names;
        EXPECT_EQ(v.type, QOR_VARIANT_TEXT_ARRAY);
        EXPECT_EQ(v.lower_bound, 0);
        for (int32_t i = 0; i < v.count; ++i)
            names.emplace_back(v.items[i]->data, v.items[i]->length);
        qor_variant_clear(&v);
        return names;
    }

    std::string root_;
};

using Names = std::vector<std::string>;

TEST_F(FilesWin32, FileExists) {
    struct Case {
        std::string path;
        int16_t yes;
    } cases[] = {
        {path("boot.ini"), QOR_YES},
        {path("BOOT.INI"), QOR_YES},  // Windows names ignore case
        {root_ + "/boot.ini", QOR_YES},
        {path("sub\\deep.txt"), QOR_YES},
        {path("caf\xE9.ini"), QOR_YES},  // Latin-1 name, UTF-16 on disk
        {path("CAF\xC9.INI"), QOR_YES},
        {path("empty.log"), QOR_YES},
        {path("nonexistent.fil"), QOR_NO},
        {path("folder.sys"), QOR_NO},
        {path("boot.ini\\"), QOR_NO},
        {root_, QOR_NO},
        {root_ + "\\", QOR_NO},
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
        {root_ + "/boot.ini", kBoot},
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
    constexpr LONGLONG kCap = LONGLONG{64} << 20;
    sized("at-cap.bin", kCap);
    sized("over-cap.bin", kCap + 1);
    Text at(_readfile(path("at-cap.bin").c_str(), 0));
    ASSERT_TRUE(at);
    ASSERT_EQ(at->length, static_cast<size_t>(kCap));
    EXPECT_EQ(std::string(at->data + at->length - 3, 3), "end");
    EXPECT_EQ(str(_readfile(path("over-cap.bin").c_str(), 0)), "");
}

TEST_F(FilesWin32, ListsRegularFilesSortedWithoutRegardToCase) {
    write("Z.BAT", "");
    write("a.bat", "");
    write("readme.txt", "");
    const Names expected = {"??.log",     "a.bat",     "boot.ini", "caf\xE9.ini",
                            "config.sys", "empty.log", "Z.BAT"};
    for (const std::string &folder : {root_, root_ + "\\", root_ + "/"})
        EXPECT_EQ(list(folder, "*.sys, *.ini, *.log, *.bat"), expected) << folder;
    EXPECT_EQ(list(root_, "C*"), (Names{"caf\xE9.ini", "config.sys"}));
    EXPECT_EQ(list(root_, "*.doc"), Names{});
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
