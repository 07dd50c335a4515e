#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "qorlib145.h"
#include "text_result.h"

namespace {

namespace fs = std::filesystem;

// The listings are tested on POSIX here (drive map, links) and on Windows in
// files_win32_test.cpp.
#if !defined(_WIN32)
// A folder for one test, removed afterwards, with drive C mapped to it.
class ListFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/qorlib-listing-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        root_ = name;
        if (const char *old = std::getenv("QORLIB_DRIVES"))
            saved_ = old, had_ = true;
        setenv("QORLIB_DRIVES", ("C=" + root_.string() + ";D=" + (root_ / "none").string()).c_str(),
               1);
    }
    void TearDown() override {
        if (had_)
            setenv("QORLIB_DRIVES", saved_.c_str(), 1);
        else
            unsetenv("QORLIB_DRIVES");
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    void file(const std::string &name) { std::ofstream(root_ / name) << "x"; }

    std::vector<std::string> list(const char *folder, const char *patterns) {
        return listed_names(folder, patterns);
    }

    fs::path root_;
    std::string saved_;
    bool had_ = false;
};

using Names = std::vector<std::string>;
#endif

TEST(GetArrayDimensions, CountsOnlyTextArrays) {
    qor_text *items[1] = {nullptr};
    struct Case {
        qor_variant variant;
        int32_t dimensions;
    } cases[] = {
        {{QOR_VARIANT_EMPTY, 0, 0, 0, 0, nullptr, nullptr}, 0},
        {{QOR_VARIANT_INT32, 0, 0, 7, 0, nullptr, nullptr}, 0},
        {{QOR_VARIANT_DOUBLE, 0, 0, 0, 1.5, nullptr, nullptr}, 0},
        {{QOR_VARIANT_TEXT, 0, 0, 0, 0, nullptr, nullptr}, 0},
        {{QOR_VARIANT_TEXT_ARRAY, 0, 0, 0, 0, nullptr, nullptr}, 1},  // no elements yet
        {{QOR_VARIANT_TEXT_ARRAY, 5, 1, 0, 0, nullptr, items}, 1},
        {{99, 0, 0, 0, 0, nullptr, nullptr}, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetArrayDimensions(&c.variant), c.dimensions) << c.variant.type;
    EXPECT_EQ(GetArrayDimensions(nullptr), 0);
}

#if !defined(_WIN32)

TEST_F(ListFilesTest, ListsMatchingRegularFilesSortedWithoutRegardToCase) {
    for (const char *name : {"CONFIG.SYS", "boot.ini", "BOOT.INI", "a.log", "Z.BAT", "autoexec.bat",
                             "readme.txt", "sys", "x.sys.bak", "target.dat"})
        file(name);
    fs::create_directory(root_ / "dir.ini");         // a folder is no file
    std::ofstream(root_ / "dir.ini" / "inner.sys");  // and is not searched
    fs::create_symlink(root_ / "target.dat", root_ / "link.ini");
    fs::create_symlink(root_ / "missing", root_ / "broken.log");
    fs::create_symlink(root_ / "dir.ini", root_ / "dirlink.sys");

    const Names expected = {"a.log",      "autoexec.bat", "BOOT.INI", "boot.ini",
                            "CONFIG.SYS", "link.ini",     "Z.BAT"};
    for (const char *folder : {"c:\\", "C:/", "c:"})
        EXPECT_EQ(list(folder, "*.sys, *.ini, *.log, *.bat"), expected) << folder;
    EXPECT_EQ(list(root_.c_str(), "*.sys, *.ini, *.log, *.bat"), expected);
}

TEST_F(ListFilesTest, PatternLists) {
    for (const char *name : {"a.log", "b.LOG", "ab.log", "c.txt", "\xC9t\xE9.ini",
                             "\xE9"
                             "a.ini"})
        file(name);
    struct Case {
        const char *patterns;
        Names names;
    } cases[] = {
        {"*.log", {"a.log", "ab.log", "b.LOG"}},
        {"?.log", {"a.log", "b.LOG"}},
        {"*.LOG", {"a.log", "ab.log", "b.LOG"}},
        {"  *.txt  ,\t?.log\t", {"a.log", "b.LOG", "c.txt"}},
        {"*.txt,*.txt,c*", {"c.txt"}},  // a file matching several patterns is listed once
        {"*.ini",
         {"\xE9"
          "a.ini",
          "\xC9t\xE9.ini"}},  // Latin-1 letters fold too
        {"*",
         {"a.log", "ab.log", "b.LOG", "c.txt",
          "\xE9"
          "a.ini",
          "\xC9t\xE9.ini"}},
        {"*.doc", {}},
        {",,, ,", {}},
        {"", {}},
        {nullptr, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(list("c:\\", c.patterns), c.names) << (c.patterns ? c.patterns : "(null)");
}

TEST_F(ListFilesTest, FoldersThatCannotBeListedGiveAnEmptyVariant) {
    file("plain.ini");
    fs::create_directory(root_ / "empty");
    const std::string plain = (root_ / "plain.ini").string();
    const std::string empty = (root_ / "empty").string();
    struct Case {
        const char *folder;
    } cases[] = {
        {"d:\\"},           // mapped to a folder that does not exist
        {"q:\\"},           // not mapped at all
        {plain.c_str()},    // a file, not a folder
        {empty.c_str()},    // nothing in it
        {"c:\\missing\\"},  // no such subfolder
        {""},
        {nullptr},
    };
    for (const Case &c : cases)
        EXPECT_EQ(list(c.folder, "*"), Names{}) << (c.folder ? c.folder : "(null)");
}

TEST_F(ListFilesTest, WritesTheResultWithoutReadingIt) {
    file("x.ini");
    qor_variant v;
    // Garbage that would crash a callee which released or read the old content.
    std::memset(static_cast<void *>(&v), 0xAB, sizeof v);
    ListFiles(&v, "q:\\", "*", 0);
    EXPECT_EQ(v.type, QOR_VARIANT_EMPTY);
    EXPECT_EQ(v.items, nullptr);
    EXPECT_EQ(v.text, nullptr);

    std::memset(static_cast<void *>(&v), 0xAB, sizeof v);
    ListFiles(&v, "c:\\", "*.ini", 12345);  // reserved flags act like 0
    ASSERT_EQ(v.type, QOR_VARIANT_TEXT_ARRAY);
    ASSERT_EQ(v.count, 1);
    EXPECT_EQ(std::string(v.items[0]->data, v.items[0]->length), "x.ini");
    EXPECT_EQ(v.text, nullptr);
    EXPECT_EQ(GetArrayDimensions(&v), 1);
    qor_variant_clear(&v);

    ListFiles(nullptr, "c:\\", "*", 0);  // nowhere to write: nothing happens
}
#endif

}  // namespace
