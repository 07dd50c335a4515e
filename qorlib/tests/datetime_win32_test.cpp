// Local time on Windows, from the Win32 zone API. A Windows process cannot switch zones the
// way TZ does on POSIX systems, so the test runs once per zone, the zone given to Wine
// through the host's TZ; the moments PHP formatted for that zone must come out the same,
// in the years where Windows keeps the zone's rules of today.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "phpdate_rows.h"
#include "qorlib145.h"
#include "text_result.h"

namespace {

// The zones the test runs in, and the first year from which Windows' rules for them are
// history: earlier, tzdata (and PHP) know rules Windows does not keep.
struct Zone {
    const char *name;
    int first_year;
};
constexpr Zone kZones[] = {{"UTC", 100}, {"Europe/Berlin", 1996}, {"America/New_York", 2007}};

const Zone *host_zone() {
    const char *tz = std::getenv("TZ");
    for (const Zone &zone : kZones)
        if (tz && std::string(tz) == zone.name)
            return &zone;
    return nullptr;
}

class DatesWin32 : public ::testing::Test {
  protected:
    void SetUp() override {
        zone_ = host_zone();
        if (!zone_)
            GTEST_SKIP() << "TZ names none of the zones this test knows";
    }
    const Zone *zone_ = nullptr;
};

// The letters that name the zone (e, T, p) are the system's: checked below.
TEST_F(DatesWin32, MatchesPhpWhereWindowsKeepsTheZonesRules) {
    int compared = 0;
    for (const PhpDateRow &row : kPhpDateRows) {
        if (std::string(row.zone) != zone_->name || std::atoi(row.wall) < zone_->first_year)
            continue;
        const bool letters = std::string(row.format).find('|') != std::string::npos;
        if (!letters && std::string(row.format).find_first_of("eTp") != std::string::npos)
            continue;
        expect_php_text(row, str(PHPDate(row.date, row.format)), "eTp");
        ++compared;
    }
    EXPECT_GT(compared, 5);
}

TEST_F(DatesWin32, ZoneLettersNameTheWindowsZone) {
    wchar_t key[128] = {};
    DWORD size = sizeof key;
    ASSERT_EQ(
        RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation",
                     L"TimeZoneKeyName", RRF_RT_REG_SZ, nullptr, key, &size),
        ERROR_SUCCESS);
    std::string name;
    for (const wchar_t *c = key; *c; ++c)
        name += static_cast<char>(*c);
    const double winter = 39462.5;  // 2008-01-15 12:00:00
    EXPECT_EQ(str(PHPDate(winter, "e")), name);
    // Windows keeps no abbreviations: T shows the offset as zones without letters do.
    const std::string offset = str(PHPDate(winter, "O"));
    const std::string expected =
        offset.substr(0, 3) + (offset.substr(3) == "00" ? "" : offset.substr(3));
    EXPECT_EQ(str(PHPDate(winter, "T")), name == "UTC" ? "UTC" : expected);
}

TEST_F(DatesWin32, DaylightSavingTime) {
    const double summer = 39619.84894675926;  // 2008-06-20 20:22:29
    const double winter = 39462.5;            // 2008-01-15 12:00:00
    const bool has_dst = std::string(zone_->name) != "UTC";
    EXPECT_EQ(str(VBDate(DSTAdjust(summer))),
              has_dst ? "2008-06-20 21:22:29" : "2008-06-20 20:22:29");
    EXPECT_EQ(str(VBDate(DSTAdjust(winter))), "2008-01-15 12:00:00");
    EXPECT_EQ(str(PHPDate(summer, "I")), has_dst ? "1" : "0");
    // Years the system's own conversions cannot reach take the zone's earliest rules.
    EXPECT_EQ(str(PHPDate(-657434.0, "Y-m-d H:i:s I")), "0100-01-01 00:00:00 0");
    EXPECT_EQ(str(PHPDate(2958465.5, "Y-m-d H:i:s I")), "9999-12-31 12:00:00 0");
}

}  // namespace
