#include <gtest/gtest.h>

#include <time.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "phpdate_rows.h"
#include "qorlib145.h"
#include "text_result.h"

namespace {

// Sets TZ (nullptr unsets it) for the life of the object and restores the previous zone.
class ZoneScope {
  public:
    explicit ZoneScope(const char *zone) {
        if (const char *old = std::getenv("TZ"))
            saved_ = old, had_ = true;
        set(zone);
    }
    ~ZoneScope() { set(had_ ? saved_.c_str() : nullptr); }
    ZoneScope(const ZoneScope &) = delete;
    ZoneScope &operator=(const ZoneScope &) = delete;

    static void set(const char *zone) {
        if (zone)
            setenv("TZ", zone, 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    std::string saved_;
    bool had_ = false;
};

// Takes a text result, failing the test on a null one.
std::string php(double date, const char *format) {
    return str(PHPDate(date, format));
}

std::string vb(double date) {
    return str(VBDate(date));
}

// The date value of a whole number of seconds since 1970-01-01, built without the library:
// days since 1899-12-30, and below zero the time of day subtracted from the day number.
double date_of_unix(std::int64_t seconds) {
    const std::int64_t since = seconds + 25569LL * 86400;
    if (since >= 0)
        return static_cast<double>(since) / 86400.0;
    std::int64_t day = since / 86400;
    std::int64_t rest = since % 86400;
    if (rest < 0)
        rest += 86400, --day;
    if (rest == 0)
        return static_cast<double>(day);
    return -static_cast<double>(-day * 86400 + rest) / 86400.0;
}

// "yyyy-mm-dd hh:nn:ss" of Unix seconds read as UTC, by the C library.
std::string utc_text(std::int64_t seconds) {
    const time_t t = static_cast<time_t>(seconds);
    struct tm parts {};
    gmtime_r(&t, &parts);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return buffer;
}

bool same_bits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TEST(PHPDate, MatchesPhpForEveryLetterMomentAndZone) {
    ZoneScope scope("UTC");
    std::string zone;
    for (const PhpDateRow &row : kPhpDateRows) {
        if (zone != row.zone)
            ZoneScope::set((zone = row.zone).c_str());
        expect_php_text(row, php(row.date, row.format));
    }
}

TEST(PHPDate, FormatEdges) {
    ZoneScope scope("UTC");
    const double moment = 37143.07407407407;  // 2001-09-09 01:46:40
    struct Case {
        const char *format;
        std::string expected;
    } cases[] = {
        {nullptr, "2001-09-09 01:46:40"},
        {"", ""},
        {"\\", "\\"},
        {"Y\\", "2001\\"},
        {"\\\\", "\\"},
        {"\\Y\\", "Y\\"},
        {"\\\\\\", "\\\\"},
        {"Q\xE9\x01 ~", "Q\xE9\x01 ~"},
        {"\\\xFF", "\xFF"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(php(moment, c.format), c.expected) << (c.format ? c.format : "(null)");
}

TEST(PHPDate, OutOfRangeAndNonFiniteDatesGiveEmptyText) {
    ZoneScope scope("Europe/Berlin");
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          -657435.0,          // 0099-12-31
                          -657435.5,          // 0099-12-31 12:00
                          2958466.0,          // 10000-01-01
                          2958465.999999999,  // rounds to 10000-01-01 00:00:00.000
                          1e300,
                          -1e300,
                          -1e7};
    for (double d : bad) {
        EXPECT_EQ(php(d, "Y-m-d H:i:s"), "") << d;
        EXPECT_EQ(php(d, nullptr), "") << d;
        EXPECT_EQ(vb(d), "") << d;
    }
}

TEST(PHPDate, RangeEdgesAndRoundingToTheMillisecond) {
    ZoneScope scope("UTC");
    struct Case {
        double date;
        const char *expected;  // "Y-m-d H:i:s.v"
    } cases[] = {
        {-657434.0, "0100-01-01 00:00:00.000"},
        {-657434.5, "0100-01-01 12:00:00.000"},
        {-657434.999999, "0100-01-01 23:59:59.914"},
        {2958465.99999998, "9999-12-31 23:59:59.998"},
        {0.0, "1899-12-30 00:00:00.000"},
        {-0.0, "1899-12-30 00:00:00.000"},
        {-0.5, "1899-12-30 12:00:00.000"},
        {-1.25, "1899-12-29 06:00:00.000"},
        {-1.9999999999, "1899-12-30 00:00:00.000"},
        {60.0, "1900-02-28 00:00:00.000"},
        {61.0, "1900-03-01 00:00:00.000"},
        {32000.5, "1987-08-11 12:00:00.000"},
        {39619.8489467593, "2008-06-20 20:22:29.000"},
        {36525.99999999, "1999-12-31 23:59:59.999"},
        {36525.999999999999, "2000-01-01 00:00:00.000"},
        {37143.07407407407, "2001-09-09 01:46:40.000"},
        {37143.0740740625, "2001-09-09 01:46:39.999"},
        {37143.07407408565, "2001-09-09 01:46:40.001"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(php(c.date, "Y-m-d H:i:s.v"), c.expected) << c.date;
}

TEST(PHPDate, AgreesWithTheCLibraryAcrossTheWholeRange) {
    ZoneScope scope("UTC");
    std::mt19937_64 random(20240229);
    // 0100-01-01 .. 9999-12-31 in Unix seconds.
    std::uniform_int_distribution<std::int64_t> pick(-59011459200LL, 253402300799LL);
    for (int i = 0; i < 3000; ++i) {
        const std::int64_t s = pick(random);
        const double d = date_of_unix(s);
        const time_t t = static_cast<time_t>(s);
        struct tm parts {};
        gmtime_r(&t, &parts);
        char iso[32];
        strftime(iso, sizeof iso, "%V %G %u %w %j", &parts);
        const std::string want = std::string(iso) + " " + utc_text(s) + " " + std::to_string(s);
        // %G and o both write the ISO year without padding; z counts days from 0, %j from 1.
        const std::string got = php(d, "W o N w z Y-m-d H:i:s U");
        const std::vector<std::string> g = split(got, ' ');
        const std::vector<std::string> w = split(want, ' ');
        ASSERT_EQ(g.size(), w.size());
        EXPECT_EQ(g[0], w[0]) << s;
        EXPECT_EQ(std::stoll(g[1]), std::stoll(w[1])) << s;
        EXPECT_EQ(g[2], w[2]) << s;
        EXPECT_EQ(g[3], w[3]) << s;
        EXPECT_EQ(std::stoi(g[4]) + 1, std::stoi(w[4])) << s;
        EXPECT_EQ(g[5] + " " + g[6], w[5] + " " + w[6]) << s;
        EXPECT_EQ(g[7], w[7]) << s;
    }
}

TEST(PHPDate, UnixTimeFollowsTheLocalZone) {
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> pick(-59011459200LL, 253402300799LL);
    for (const char *zone :
         {"Europe/Berlin", "America/New_York", "Asia/Kathmandu", "CET-1CEST,M3.5.0,M10.5.0/3"}) {
        ZoneScope scope(zone);
        for (int i = 0; i < 500; ++i) {
            const std::int64_t s = pick(random);
            const time_t t = static_cast<time_t>(s);
            struct tm now {
            }, before{}, after{};
            const time_t t0 = t - 86400, t1 = t + 86400;
            localtime_r(&t, &now);
            localtime_r(&t0, &before);
            localtime_r(&t1, &after);
            if (before.tm_gmtoff != now.tm_gmtoff || after.tm_gmtoff != now.tm_gmtoff)
                continue;  // near a change of offset the wall clock may be ambiguous
            const double d = date_of_unix(s + now.tm_gmtoff);
            EXPECT_EQ(php(d, "U"), std::to_string(s)) << zone << " " << s;
            EXPECT_EQ(php(d, "Z T I"), std::to_string(now.tm_gmtoff) + " " + now.tm_zone + " " +
                                           (now.tm_isdst > 0 ? "1" : "0"))
                << zone << " " << s;
        }
    }
}

TEST(PHPDate, ZoneName) {
    struct Case {
        const char *tz;
        const char *expected;
    } cases[] = {
        {"UTC", "UTC"},
        {":Europe/Berlin", "Europe/Berlin"},
        {"", "UTC"},
        {"/usr/share/zoneinfo/Asia/Tokyo", "Asia/Tokyo"},
        {"CET-1CEST,M3.5.0,M10.5.0/3", "CET-1CEST,M3.5.0,M10.5.0/3"},
    };
    for (const Case &c : cases) {
        ZoneScope scope(c.tz);
        EXPECT_EQ(php(25569.0, "e"), c.expected) << c.tz;
    }
    ZoneScope scope(nullptr);
    EXPECT_FALSE(php(25569.0, "e").empty());
}

// Callers change TZ without calling tzset(): every call must follow, back and forth,
// to and from the system's zone (TZ unset).
TEST(PHPDate, FollowsEveryChangeOfTzBetweenCalls) {
    ZoneScope scope(nullptr);
    const double summer = 39619.84894675926;  // 2008-06-20 20:22:29
    const std::string system = php(summer, "e T O");
    struct Step {
        const char *tz;
        std::string expected;
    } steps[] = {
        {"Europe/Berlin", "Europe/Berlin CEST +0200"},
        {"America/New_York", "America/New_York EDT -0400"},
        {"Europe/Berlin", "Europe/Berlin CEST +0200"},
        {nullptr, system},
        {"Asia/Kathmandu", "Asia/Kathmandu +0545 +0545"},
        {nullptr, system},
        {"CET-1CEST,M3.5.0,M10.5.0/3", "CET-1CEST,M3.5.0,M10.5.0/3 CEST +0200"},
        {":UTC", "UTC UTC +0000"},
        {"Europe/Berlin", "Europe/Berlin CEST +0200"},
    };
    for (const Step &step : steps) {
        if (step.tz)
            setenv("TZ", step.tz, 1);
        else
            unsetenv("TZ");
        EXPECT_EQ(php(summer, "e T O"), step.expected) << (step.tz ? step.tz : "(unset)");
        EXPECT_EQ(php(summer, "e T O"), step.expected) << (step.tz ? step.tz : "(unset)");
    }
}

TEST(PHPDate, PosixZoneStringsWork) {
    ZoneScope scope("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(php(39619.84894675926, "T I O U"), "CEST 1 +0200 1213986149");
    EXPECT_EQ(php(25569.0, "T I O U"), "CET 0 +0100 -3600");
}

TEST(PHPDate, LargeFormatsAreFormattedWhole) {
    ZoneScope scope("UTC");
    const std::string format(1 << 20, 'Y');
    const std::string text = php(37143.07407407407, format.c_str());
    ASSERT_EQ(text.size(), format.size() * 4);
    EXPECT_EQ(text.substr(0, 8), "20012001");
    EXPECT_EQ(text.substr(text.size() - 4), "2001");
}

// Formats long enough that their result is measured before it is built: one that fits
// comes whole, one that would pass QOR_TEXT_MAX gives NULL (at once, not after building
// a gigabyte).
TEST(PHPDate, LongFormatsAreMeasuredFirst) {
    const std::string zone = "<" + std::string(100, 'A') + ">-1";
    ZoneScope scope(zone.c_str());
    const std::size_t days = 7'000'000;  // "20" each, past the size that is measured
    const std::string text = php(39619.5, (std::string(days, 'd') + "\\ee\\e").c_str());
    ASSERT_EQ(text.size(), 2 * days + 2 + zone.size());
    EXPECT_EQ(text.find_first_not_of("20"), 2 * days);
    EXPECT_EQ(text.substr(2 * days), "e" + zone + "e");
    // 12 million abbreviations of 100 letters: past 1 GiB.
    EXPECT_EQ(PHPDate(39619.5, std::string(12'000'000, 'T').c_str()), nullptr);
}

TEST(VBDate, WritesTheWallClock) {
    struct Case {
        double date;
        const char *expected;
    } cases[] = {
        {25569.0, "1970-01-01 00:00:00"},
        {37143.07407407407, "2001-09-09 01:46:40"},
        {37135.07407407407, "2001-09-01 01:46:40"},
        {2.501377314814815, "1900-01-01 12:01:59"},
        {-1.25, "1899-12-29 06:00:00"},
        {-657434.0, "0100-01-01 00:00:00"},
        {2958465.999988426, "9999-12-31 23:59:59"},
        {36525.99999999, "1999-12-31 23:59:59"},
        {36525.999999999999, "2000-01-01 00:00:00"},
        {36585.5, "2000-02-29 12:00:00"},
    };
    // The zone plays no part, not even in an hour the clocks skip.
    for (const char *zone : {"UTC", "Europe/Berlin"}) {
        ZoneScope scope(zone);
        for (const Case &c : cases)
            EXPECT_EQ(vb(c.date), c.expected) << zone << " " << c.date;
        EXPECT_EQ(vb(44283.104166666664), "2021-03-28 02:30:00") << zone;
    }
}

TEST(VBDateToCTime, SecondsOfTheWallClockReadAsUtc) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double date, seconds;
    } cases[] = {
        {25569.0, 0},
        {37143.07407407407, 1000000000},
        {37135.07407407407, 999308800},
        {37143.0, 999993600},
        {0.0, -2209161600},
        {-1.25, -2209226400},
        {-657434.0, -59011459200},
        {2958465.999988426, 253402300799},
        {25569.5 + 0.4 / 86400, 43200},  // 0.4 s rounds down
        {25569.5 + 0.6 / 86400, 43201},  // 0.6 s rounds up
        {39619.8489467593, 1213993349},
        {inf, inf},
        {-inf, -inf},
    };
    for (const char *zone : {"UTC", "Europe/Berlin"}) {
        ZoneScope scope(zone);
        for (const Case &c : cases)
            EXPECT_EQ(VBDateToCTime(c.date), c.seconds) << zone << " " << c.date;
        EXPECT_TRUE(std::isnan(VBDateToCTime(nan)));
    }
}

TEST(CTimeToVBDate, GivesTheNearestDateValue) {
    struct Case {
        double seconds, date;
    } cases[] = {
        {0, 25569.0},
        {1000000000, 37143.07407407407},
        {-2209161600, 0.0},
        {-2209226400, -1.25},
        {-59011459200, -657434.0},
        {253402300799, 2958465.999988426},
        {43200.5, 25569.50000578704},
    };
    for (const Case &c : cases)
        EXPECT_TRUE(same_bits(CTimeToVBDate(c.seconds), c.date))
            << c.seconds << " gave " << CTimeToVBDate(c.seconds);
    EXPECT_TRUE(std::isnan(CTimeToVBDate(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(CTimeToVBDate(std::numeric_limits<double>::infinity()),
              std::numeric_limits<double>::infinity());
}

TEST(CTimeToVBDate, RoundTripsAcrossTheRange) {
    std::mt19937_64 random(1000000000);
    std::uniform_int_distribution<std::int64_t> pick(-59011459200LL, 253402300799LL);
    for (int i = 0; i < 20000; ++i) {
        const std::int64_t s =
            i < 3 ? std::vector<std::int64_t>{-59011459200LL, 0, 253402300799LL}[i] : pick(random);
        const double d = CTimeToVBDate(static_cast<double>(s));
        ASSERT_TRUE(same_bits(d, date_of_unix(s))) << s;
        ASSERT_EQ(VBDateToCTime(d), static_cast<double>(s)) << s;
        ASSERT_TRUE(same_bits(CTimeToVBDate(VBDateToCTime(d)), d)) << s;
        if (i % 10 == 0) {
            ASSERT_EQ(vb(d), utc_text(s)) << s;
        }
    }
}

TEST(DateToHex, BytesInLittleEndianOrder) {
    struct Case {
        double date;
        const char *hex;
    } cases[] = {
        {37143.07407407407, "B497D05EE222E240"},
        {0.0, "0000000000000000"},
        {-0.0, "0000000000000080"},
        {25569.0, "0000000040F8D840"},
        {1.0, "000000000000F03F"},
        {-1.25, "000000000000F4BF"},
        {std::numeric_limits<double>::infinity(), "000000000000F07F"},
        {std::numeric_limits<double>::denorm_min(), "0100000000000000"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(str(DateToHex(c.date)), c.hex) << c.date;
        EXPECT_TRUE(same_bits(HexToDate(c.hex), c.date)) << c.hex;
    }
}

TEST(HexToDate, AcceptsExactlySixteenHexDigits) {
    EXPECT_EQ(HexToDate("b497d05ee222e240"), 37143.07407407407);
    EXPECT_EQ(HexToDate("B497d05EE222e240"), 37143.07407407407);
    EXPECT_TRUE(std::isnan(HexToDate("000000000000F87F")));
    const char *bad[] = {nullptr,
                         "",
                         "B497D05EE222E24",
                         "B497D05EE222E2400",
                         "B497D05EE222E24G",
                         " B497D05EE222E24",
                         "B497D05EE222E24 ",
                         "0x97D05EE222E240",
                         "-497D05EE222E240",
                         "B497D05E\nE22E240"};
    for (const char *hex : bad)
        EXPECT_EQ(HexToDate(hex), 0.0) << (hex ? hex : "(null)");
}

TEST(HexToDate, RoundTripsEveryBitPattern) {
    std::mt19937_64 random(42);
    for (int i = 0; i < 20000; ++i) {
        const double d = std::bit_cast<double>(random());
        const std::string hex = str(DateToHex(d));
        ASSERT_EQ(hex.size(), 16u);
        ASSERT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(HexToDate(hex.c_str())),
                  std::bit_cast<std::uint64_t>(d))
            << hex;
    }
}

TEST(DSTAdjust, MovesDaylightSavingTimeForward) {
    const double summer = 39619.84894675926;  // 2008-06-20 20:22:29
    const double winter = 39462.5;            // 2008-01-15 12:00:00
    struct Case {
        const char *zone;
        double date;
        const char *expected;  // VBDate of the result
    } cases[] = {
        {"Europe/Berlin", summer, "2008-06-20 21:22:29"},
        {"Europe/Berlin", winter, "2008-01-15 12:00:00"},
        {"CET-1CEST,M3.5.0,M10.5.0/3", summer, "2008-06-20 21:22:29"},
        {"America/New_York", summer, "2008-06-20 21:22:29"},
        {"Australia/Lord_Howe", winter, "2008-01-15 12:30:00"},  // half an hour there
        {"Australia/Lord_Howe", summer, "2008-06-20 20:22:29"},
        {"UTC", summer, "2008-06-20 20:22:29"},
        {"Asia/Kathmandu", summer, "2008-06-20 20:22:29"},
        {"Europe/Berlin", 2.501377314814815, "1900-01-01 12:01:59"},
        {"Europe/Berlin", 2958276.5, "9999-06-25 13:00:00"},
        {"Europe/Berlin", -1.75, "1899-12-29 18:00:00"},
        // Summer time for more than two years: standard time is further than a year away.
        {"Europe/Berlin", 15142.5, "1941-06-15 13:00:00"},
        {"America/New_York", 15780.5, "1943-03-15 13:00:00"},
        {"America/Havana", 38487.5, "2005-05-15 13:00:00"},
    };
    for (const Case &c : cases) {
        ZoneScope scope(c.zone);
        EXPECT_EQ(vb(DSTAdjust(c.date)), c.expected) << c.zone << " " << c.date;
    }
}

TEST(DSTAdjust, LeavesOtherValuesExactlyAsTheyAre) {
    ZoneScope scope("Europe/Berlin");
    const double values[] = {
        39462.5000001, 36900.3, -657434.25, 0.0, std::numeric_limits<double>::infinity(),
        -1e300,        1e300,   3e6};
    for (double d : values)
        EXPECT_TRUE(same_bits(DSTAdjust(d), d)) << d;
    EXPECT_TRUE(std::isnan(DSTAdjust(std::numeric_limits<double>::quiet_NaN())));
    // In daylight-saving time the result is the exact date value of the moved moment.
    EXPECT_TRUE(same_bits(DSTAdjust(39619.84894675926), date_of_unix(1213993349 + 3600)));
}

// The offset and daylight-saving flag at an instant, straight from the C library.
std::pair<long, bool> local_at(std::int64_t unix) {
    const time_t t = static_cast<time_t>(unix);
    struct tm parts {};
    localtime_r(&t, &parts);
    return {parts.tm_gmtoff, parts.tm_isdst > 0};
}

// The reference: how far the clock at `from` is ahead of the nearest standard time, by
// probing the C library week by week over the library's years 0100-9999 and two beyond,
// then halving the last week; the earlier instant wins when both are as near. Each week's
// probe is kept for the zone.
struct StandardScan {
    static constexpr std::int64_t kWeek = 7 * 86400, kStart = -62'198'755'200;  // 0098
    std::vector<signed char> summer = std::vector<signed char>(520'000, -1);

    std::optional<std::int64_t> nearest(std::int64_t from, int side, std::int64_t within) {
        std::int64_t inside = from;  // known daylight-saving
        for (std::int64_t w = (from - kStart) / kWeek + (side > 0);
             w >= 0 && w < std::ssize(summer) && (inside - from) * side <= within; w += side) {
            if (summer[w] < 0)
                summer[w] = local_at(kStart + w * kWeek).second;
            std::int64_t outside = kStart + w * kWeek;
            while (!summer[w] && (outside - inside) * side > 1) {
                const std::int64_t middle = inside + (outside - inside) / 2;
                (local_at(middle).second ? inside : outside) = middle;
            }
            if (!summer[w])
                return outside;
            inside = outside;
        }
        return std::nullopt;
    }
    long shift(std::int64_t at) {
        const auto before = nearest(at, -1, INT64_MAX / 2);
        const auto after = nearest(at, +1, before ? at - *before : INT64_MAX / 2);
        if (!before && !after)
            return 0;
        const bool earlier = before && (!after || at - *before <= *after - at);
        return local_at(at).first - local_at(earlier ? *before : *after).first;
    }
};

TEST(DSTAdjust, FindsTheNearestStandardTimeInEveryZoneAndMonth) {
    // Every compiled zone of the system, once per distinct content.
    const std::filesystem::path root = "/usr/share/zoneinfo";
    std::set<std::string> seen;
    std::vector<std::string> zones;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
        std::ifstream file(entry.path(), std::ios::binary);
        std::string data;
        if (entry.is_regular_file() &&
            data.assign(std::istreambuf_iterator<char>(file), {}).starts_with("TZif") &&
            seen.insert(data).second)
            zones.push_back(entry.path().lexically_relative(root).string());
    }
    ASSERT_GT(zones.size(), 300u);
    ZoneScope scope("UTC");
    int summer_samples = 0;
    // Every third month 1900-2037 of each zone, another third for the next zone.
    for (std::size_t z = 0; z < zones.size(); ++z) {
        ZoneScope::set(zones[z].c_str());
        StandardScan scan;
        for (int month = static_cast<int>(z % 3); month < 138 * 12; month += 3) {
            // Noon UTC on the 15th, or a week later when the clocks change near it (an
            // ambiguous wall clock is not what is tested here).
            struct tm noon {};
            noon.tm_hour = 12, noon.tm_mday = 15, noon.tm_mon = month % 12;
            noon.tm_year = month / 12;
            std::int64_t unix = timegm(&noon);
            for (; local_at(unix - 86400) != local_at(unix) ||
                   local_at(unix + 86400) != local_at(unix);
                 unix += 7 * 86400) {
            }
            const auto [offset, summer] = local_at(unix);
            summer_samples += summer;
            const long shift = summer ? scan.shift(unix) : 0;
            const double date = date_of_unix(unix + offset);
            if (!same_bits(DSTAdjust(date), date_of_unix(unix + offset + shift))) {
                ADD_FAILURE() << zones[z] << " " << vb(date) << ": " << vb(DSTAdjust(date))
                              << ", expected " << shift << " s later";
                break;  // the zone's first wrong month tells enough
            }
        }
    }
    EXPECT_GT(summer_samples, 20'000);
}

}  // namespace
