#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "qorlib145.h"
#include "text_result.h"

namespace {

namespace fs = std::filesystem;

// Remembers an environment variable and puts it back.
class SavedEnv {
  public:
    explicit SavedEnv(const char *name) : name_(name) {
        if (const char *old = std::getenv(name))
            old_ = old;
    }
    ~SavedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char *name_;
    std::optional<std::string> old_;
};

const std::string kBoot = std::string("[boot loader]\r\ntimeout=30\r\n\0\x01\xFE\xFF;", 33);

// Drive C is a fresh temp folder holding files, a folder, a FIFO and a link.
class Files : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/qorlib-files-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        write("boot.ini", kBoot);
        write("config.sys", "DEVICE=x\n");
        write("empty.log", "");
        fs::create_directory(root_ / "folder.sys");
        fs::create_directory(root_ / "sub");
        write("sub/deep.txt", "deep");
        ASSERT_EQ(mkfifo((root_ / "pipe.ini").c_str(), 0600), 0);
        fs::create_symlink(root_ / "config.sys", root_ / "link.bat");
        fs::create_symlink(root_ / "folder.sys", root_ / "dirlink.bat");
        setenv("QORLIB_DRIVES", ("C=" + root_.string()).c_str(), 1);
    }
    void TearDown() override { fs::remove_all(root_); }

    void write(const std::string &name, const std::string &bytes) {
        std::ofstream out(root_ / name, std::ios::binary);
        out << bytes;
    }
    // A sparse file of `size` bytes, quick to make at any size.
    void sized(const std::string &name, off_t size) {
        int fd = open((root_ / name).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, size), 0);
        ASSERT_EQ(pwrite(fd, "end", 3, size - 3), 3);
        close(fd);
    }

    SavedEnv drives_{"QORLIB_DRIVES"};
    fs::path root_;
};

TEST_F(Files, FileExists) {
    struct Case {
        std::string path;
        int16_t yes;
    } cases[] = {
        {"c:\\boot.ini", QOR_YES},
        {"C:/boot.ini", QOR_YES},
        {"C:\\sub\\deep.txt", QOR_YES},
        {"C:\\link.bat", QOR_YES},   // a link to a regular file
        {"C:\\empty.log", QOR_YES},  // empty is still a file
        {"C:\\nonexistent.fil", QOR_NO},
        {"C:\\folder.sys", QOR_NO},  // a folder is no file
        {"C:\\dirlink.bat", QOR_NO},
        {"C:\\pipe.ini", QOR_NO},  // nor is a FIFO
        {"C:\\", QOR_NO},
        {"C:", QOR_NO},
        {"C:\\boot.ini\\", QOR_NO},
        {"D:\\boot.ini", QOR_NO},  // unmapped drive
        {"&:\\boot.ini", QOR_NO},
        {"", QOR_NO},
        {"C:\\*.sys", QOR_YES},  // config.sys, not the folder
        {"C:\\*.SYS", QOR_YES},  // wildcards match without regard to case
        {"C:\\B??T.INI", QOR_YES},
        {"C:\\*", QOR_YES},
        {"C:\\fold*", QOR_NO},   // only the folder matches
        {"C:\\pipe.*", QOR_NO},  // only the FIFO matches
        {"C:\\dirlink.*", QOR_NO},
        {"C:\\*.xyz", QOR_NO},
        {"C:\\sub\\*.txt", QOR_YES},
        {"C:\\s*b\\deep.txt", QOR_NO},  // wildcards only in the last part
        {"C:\\nosuchdir\\*", QOR_NO},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FileExists(c.path.c_str()), c.yes) << c.path;
    EXPECT_EQ(FileExists(nullptr), QOR_NO);
    EXPECT_EQ(FileExists((root_ / "boot.ini").c_str()), QOR_YES);  // native path
    EXPECT_EQ(FileExists((root_ / "*.ini").c_str()), QOR_YES);
}

TEST_F(Files, ReadFileGivesEveryByteOrNothing) {
    struct Case {
        std::string path;
        int32_t flags;
        std::string content;
    } cases[] = {
        {"c:\\boot.ini", 0, kBoot},
        {"C:/boot.ini", 0, kBoot},
        {(root_ / "boot.ini").string(), 0, kBoot},
        {"c:\\boot.ini", 7, kBoot},  // reserved flags read as 0
        {"c:\\boot.ini", -1, kBoot},
        {"C:\\sub\\deep.txt", 0, "deep"},
        {"C:\\link.bat", 0, "DEVICE=x\n"},
        {"C:\\empty.log", 0, ""},
        {"nonexistent.fil", 0, ""},
        {"C:\\nonexistent.fil", 0, ""},
        {"C:\\folder.sys", 0, ""},
        {"C:\\pipe.ini", 0, ""},  // must not wait for a writer
        {"C:\\*.sys", 0, ""},     // no wildcards here
        {"D:\\boot.ini", 0, ""},
        {"/dev/null", 0, ""},
        {"/dev/zero", 0, ""},  // a device would never end
        {"", 0, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(_readfile(c.path.c_str(), c.flags)), c.content) << c.path;
    EXPECT_EQ(str(_readfile(nullptr, 0)), "");
}

TEST_F(Files, ReadFileTrustsContentNotReportedSize) {
    // /proc files report a size of 0 but have content.
    std::string status = str(_readfile("/proc/self/status", 0));
    EXPECT_NE(status.find("Pid:"), std::string::npos);
}

TEST_F(Files, ReadFileSizeCap) {
    constexpr off_t kCap = off_t{64} << 20;
    sized("at-cap.bin", kCap);
    sized("over-cap.bin", kCap + 1);
    Text at(_readfile("C:\\at-cap.bin", 0));
    ASSERT_TRUE(at);
    ASSERT_EQ(at->length, static_cast<size_t>(kCap));
    EXPECT_EQ(std::string(at->data + at->length - 3, 3), "end");
    EXPECT_EQ(str(_readfile("C:\\over-cap.bin", 0)), "");
}

TEST(WindowsDir, EndsInSeparator) {
    SavedEnv saved("QORLIB_WINDIR");
    struct Case {
        const char *env, *dir;
    } cases[] = {
        {nullptr, "/etc/"},
        {"", "/etc/"},
        {"/opt/win", "/opt/win/"},
        {"/opt/win/", "/opt/win/"},
        {"C:\\Windows\\", "C:\\Windows\\"},
        {"C:\\Windows", "C:\\Windows/"},
    };
    for (const Case &c : cases) {
        if (c.env)
            setenv("QORLIB_WINDIR", c.env, 1);
        else
            unsetenv("QORLIB_WINDIR");
        EXPECT_EQ(str(GetWindowsDir()), c.dir) << (c.env ? c.env : "(unset)");
    }
}

TEST_F(Files, WindowsDirPlusNameIsReadable) {
    SavedEnv saved("QORLIB_WINDIR");
    setenv("QORLIB_WINDIR", "C:\\sub", 1);
    std::string name = str(GetWindowsDir()) + "deep.txt";
    EXPECT_EQ(FileExists(name.c_str()), QOR_YES) << name;
    EXPECT_EQ(str(_readfile(name.c_str(), 0)), "deep");
}

}  // namespace
