// The POSIX platform layer tells a library that is nowhere from one that is there but does
// not load by the file system, whatever language the loader words its messages in.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform.h"

namespace {

using namespace qorbind::platform;

TEST(PosixLoader, MissingIsNotFoundAndBrokenIsFoundInGerman) {
    // LANGUAGE=de counts in any locale but "C". Without the C library's German messages
    // (libc-l10n) the loader would speak English and this would prove nothing: it fails.
    setenv("LANGUAGE", "de", 1);
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    ASSERT_EQ(dlopen("libqorprobe-nowhere.so", RTLD_NOW), nullptr);
    const std::string message = dlerror();
    ASSERT_EQ(message.find("No such file"), std::string::npos) << "install libc-l10n: " << message;

    // A folder on the program's run path: the loader searches it for bare names.
    const Path searched = QORBIND_TEST_SEARCHED_FOLDER, name = "libqorprobe-broken.so";
    EXPECT_FALSE(open("libqorprobe-nowhere.so").fileFound);
    EXPECT_FALSE(open(searched / "libqorprobe-nowhere.so").fileFound);
    EXPECT_FALSE(search({"libqorprobe-nowhere.so"}).fileFound);
    // A file that is no library is found, by its path and by its bare name.
    std::ofstream(searched / name) << "not a library";
    for (const Path &asked : {searched / name, name}) {
        const Opened broken = open(asked);
        EXPECT_TRUE(!broken.handle && broken.fileFound && !broken.error.empty()) << asked;
    }
    EXPECT_TRUE(search({name}).fileFound);
    std::filesystem::remove(searched / name);
    EXPECT_FALSE(open(name).fileFound);
    std::setlocale(LC_ALL, "C");
}

}  // namespace
