// The POSIX platform layer tells a library that is nowhere from one that is there but does
// not load by the file system, in whatever language the loader words its messages.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform.h"

namespace {

namespace fs = std::filesystem;
using qorbind::platform::Path;

// A folder on the test program's run path, so the loader searches it for bare names.
const Path kSearched = QORBIND_TEST_SEARCHED_FOLDER;

// The loader in German, as for a user with LANGUAGE=de (which counts in any locale but
// "C"). Fails rather than passing unseen when the C library's German messages
// (libc-l10n) are missing and the loader would speak English after all.
class GermanLoader : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(kSearched);
        setenv("LANGUAGE", "de", 1);
        ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
        ASSERT_EQ(dlopen("libqorprobe-nowhere.so", RTLD_NOW), nullptr);
        const std::string message = dlerror();
        ASSERT_EQ(message.find("No such file"), std::string::npos)
            << "the loader's messages are English here: install libc-l10n (" << message << ")";
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        unsetenv("LANGUAGE");
    }
};

TEST_F(GermanLoader, MissingIsNotFoundAndBrokenIsFound) {
    using qorbind::platform::open;
    using qorbind::platform::search;
    EXPECT_FALSE(open("libqorprobe-nowhere.so").fileFound);
    EXPECT_FALSE(open(kSearched / "libqorprobe-nowhere.so").fileFound);
    EXPECT_FALSE(search({"libqorprobe-nowhere.so"}).fileFound);

    // A file that is no library: found, by its path and by its bare name, which the loader
    // finds in the searched folder.
    const Path name = "libqorprobe-broken.so";
    std::ofstream(kSearched / name) << "not a library";
    for (const Path &asked : {kSearched / name, name}) {
        const auto broken = open(asked);
        EXPECT_EQ(broken.handle, nullptr) << asked;
        EXPECT_TRUE(broken.fileFound) << asked;
        EXPECT_FALSE(broken.error.empty()) << asked;
    }
    EXPECT_TRUE(search({name}).fileFound);
    fs::remove(kSearched / name);
    EXPECT_FALSE(open(name).fileFound);
}

}  // namespace
