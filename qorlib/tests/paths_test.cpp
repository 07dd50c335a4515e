#include <gtest/gtest.h>

#include <cstdlib>

#include "internal.h"

namespace {

#if !defined(_WIN32)
// Sets QORLIB_DRIVES for one test and restores the previous value.
class DriveMap {
  public:
    explicit DriveMap(const char *map) {
        if (const char *old = std::getenv("QORLIB_DRIVES"))
            saved_ = old, had_ = true;
        if (map)
            setenv("QORLIB_DRIVES", map, 1);
        else
            unsetenv("QORLIB_DRIVES");
    }
    ~DriveMap() {
        if (had_)
            setenv("QORLIB_DRIVES", saved_.c_str(), 1);
        else
            unsetenv("QORLIB_DRIVES");
    }

  private:
    std::string saved_;
    bool had_ = false;
};
#endif

TEST(Wildcard, Matches) {
    struct Case {
        const char *pattern, *name;
        bool match;
    } cases[] = {
        {"*.sys", "CONFIG.SYS", true},
        {"*.sys", "config.sys.bak", false},
        {"boot.???", "BOOT.INI", true},
        {"boot.???", "boot.in", false},
        {"*", "", true},
        {"", "", true},
        {"", "a", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"*a", "bbbba", true},
        {"**", "abc", true},
        {"?", "\xC9", true},
        {"\xC9T\xC9", "\xE9t\xE9", true},  // Latin-1 letters fold too
        {"x*", "yx", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(qorlib::wildcard_match(c.pattern, c.name), c.match)
            << c.pattern << " vs " << c.name;
}

TEST(Wildcard, PathologicalPatternStaysFast) {
    std::string name(5000, 'a');
    std::string pattern;
    for (int i = 0; i < 200; ++i)
        pattern += "*a";
    pattern += "b";
    EXPECT_FALSE(qorlib::wildcard_match(pattern, name));
}

// Windows has real drive letters; the map from letters to folders is POSIX's.
#if !defined(_WIN32)
TEST(Drives, DefaultMapHasOnlyC) {
    DriveMap map(nullptr);
    EXPECT_EQ(qorlib::drive_root('C'), "/");
    EXPECT_EQ(qorlib::drive_root('c'), "/");
    EXPECT_FALSE(qorlib::drive_root('D'));
    EXPECT_FALSE(qorlib::drive_root('&'));
}

TEST(Drives, MapFromEnvironment) {
    DriveMap map("C=/srv/c/;D=/media/cdrom;;bad;q=/tmp");
    EXPECT_EQ(qorlib::drive_root('C'), "/srv/c");
    EXPECT_EQ(qorlib::drive_root('d'), "/media/cdrom");
    EXPECT_EQ(qorlib::drive_root('Q'), "/tmp");
    EXPECT_FALSE(qorlib::drive_root('E'));
}

TEST(Drives, DriveNames) {
    for (const char *name : {"C", "c", "C:", "c:\\", "C:/"})
        EXPECT_EQ(qorlib::drive_letter(name), 'C') << name;
    for (const char *name : {"", "&", "CC", "C:x", "1"})
        EXPECT_FALSE(qorlib::drive_letter(name)) << name;
}

TEST(Drives, NativePaths) {
    DriveMap map("C=/srv/c;D=/");
    struct Case {
        const char *in;
        const char *out;  // nullptr: no path
    } cases[] = {
        {"c:\\boot.ini", "/srv/c/boot.ini"},
        {"C:/temp/x.tmp", "/srv/c/temp/x.tmp"},
        {"c:\\temp\\\\*.tmp", "/srv/c/temp/*.tmp"},
        {"c:", "/srv/c"},
        {"c:\\", "/srv/c/"},
        {"d:\\etc\\hosts", "/etc/hosts"},
        {"/etc/hosts", "/etc/hosts"},
        {"relative.txt", "relative.txt"},
        {"e:\\x", nullptr},
        {"", nullptr},
    };
    for (const Case &c : cases) {
        auto result = qorlib::native_path(c.in);
        if (c.out)
            EXPECT_EQ(result, c.out) << c.in;
        else
            EXPECT_FALSE(result) << c.in;
    }
}
#endif

}  // namespace
