// PHPDate and the other date functions with any date value, format text and one of
// several zones (TZ set without tzset(), as a caller may, or unset):
// - a result always comes back, empty outside 0100..9999 and for NaN and infinities;
// - formatting is letter by letter: two parts of a format give the two parts of its text,
//   and a null format is "Y-m-d H:i:s";
// - the fields shown are those the C library gives for the instant shown ("U"), in the
//   zone in force, also in hours the clocks skip or repeat;
// - in UTC, VBDate shows the same wall clock and DSTAdjust changes nothing.
//
// Input: a byte choosing the zone (and whether the date is folded into the range), the
// date's 8 bytes, then the format.
#include <time.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_support.h"

namespace {

const char *const kZones[] = {nullptr,
                              "UTC",
                              "Europe/Berlin",
                              "America/New_York",
                              "Australia/Lord_Howe",
                              "Asia/Kathmandu",
                              "CET-1CEST,M3.5.0,M10.5.0/3",
                              "Europe/Dublin"};

std::string php(double date, const std::string &format) {
    return fuzz::take(PHPDate(date, format.c_str()));
}

// Seconds since 1899-12-30 of a date value: below zero the fraction is the time of day.
double moment(double date) {
    const double day = std::trunc(date);
    return day * 86400.0 + std::fabs(date - day) * 86400.0;
}

// The end of the escape-aware token that starts at `i` ("\x" is one token).
std::size_t token_end(const std::string &format, std::size_t i) {
    return format[i] == '\\' && i + 1 < format.size() ? i + 2 : i + 1;
}

std::string strftime_of(const char *format, const struct tm &parts) {
    char buffer[128];
    const std::size_t n = strftime(buffer, sizeof buffer, format, &parts);
    return std::string(buffer, n);
}

// The shown fields of a moment against localtime_r() of the instant shown.
void check_against_c_library(double date) {
    const std::string shown = php(date, "U|Y-m-d H:i:s|Z|I|w|z|W|o|D|l|M|F|O|N|L|t|T");
    const long long unix = std::strtoll(shown.c_str(), nullptr, 10);
    tzset();  // the library noticed the zone by itself; the C library is told here
    const time_t t = static_cast<time_t>(unix);
    struct tm parts {};
    FUZZ_REQUIRE(localtime_r(&t, &parts) != nullptr);
    const long long year = parts.tm_year + 1900LL;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    char fields[160];
    std::snprintf(fields, sizeof fields, "%lld|%04lld-%02d-%02d %02d:%02d:%02d|%ld|%d|%d|%d|%s|",
                  unix, year, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min,
                  parts.tm_sec, static_cast<long>(parts.tm_gmtoff), parts.tm_isdst > 0 ? 1 : 0,
                  parts.tm_wday, parts.tm_yday, strftime_of("%V", parts).c_str());
    const long long iso_year = std::strtoll(strftime_of("%G", parts).c_str(), nullptr, 10);
    std::string want = std::string(fields) + std::to_string(iso_year) + "|" +
                       strftime_of("%a|%A|%b|%B|%z|%u|", parts) + (leap ? "1|" : "0|") +
                       std::to_string(kDays[parts.tm_mon] + (parts.tm_mon == 1 && leap)) + "|" +
                       parts.tm_zone;
    FUZZ_REQUIRE(shown == want);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 9)
        return 0;
    const char *zone = kZones[(data[0] >> 1) % 8];
    if (zone)
        setenv("TZ", zone, 1);
    else
        unsetenv("TZ");
    double date;
    std::memcpy(&date, data + 1, sizeof date);
    // Half the inputs are folded into the supported range, so the formatting runs.
    if (data[0] & 1) {
        std::uint64_t bits;
        std::memcpy(&bits, data + 1, sizeof bits);
        constexpr std::uint64_t kRangeMs = 3'615'900ULL * 86'400'000ULL;
        date = -657434.0 + static_cast<double>(bits % kRangeMs) / 86'400'000.0;
    }
    const std::string format = fuzz::split(data + 9, size - 9, 1).texts[0];

    const std::string text = php(date, format);
    // Below zero the whole part counts the days: -657434.5 is 0100-01-01 12:00.
    const bool outside = !std::isfinite(date) || date <= -657435.0 || date >= 2958466.0;
    const bool inside = date > -657435.0 && date < 2958465.99;
    if (outside)
        FUZZ_REQUIRE(text.empty() && php(date, "Y").empty());
    if (!inside)
        return 0;
    FUZZ_REQUIRE(php(date, "Y").size() >= 4);

    // Split the format between two tokens at a place the input picks.
    std::size_t cut = 0;
    for (std::size_t i = 0, n = data[0] >> 4; i < format.size() && n > 0; --n)
        cut = i = token_end(format, i);
    FUZZ_REQUIRE(php(date, format.substr(0, cut)) + php(date, format.substr(cut)) == text);
    FUZZ_REQUIRE(fuzz::take(PHPDate(date, nullptr)) == php(date, "Y-m-d H:i:s"));
    if (zone)
        FUZZ_REQUIRE(php(date, "e") == zone);

    check_against_c_library(date);

    if (zone && std::strcmp(zone, "UTC") == 0) {
        FUZZ_REQUIRE(fuzz::take(VBDate(date)) == php(date, "Y-m-d H:i:s"));
        const double adjusted = DSTAdjust(date);
        FUZZ_REQUIRE(std::memcmp(&adjusted, &date, sizeof date) == 0);
    }
    // To whole seconds and back moves the moment by half a second at most.
    const double seconds = VBDateToCTime(date);
    FUZZ_REQUIRE(seconds == std::round(seconds));
    FUZZ_REQUIRE(std::fabs(moment(CTimeToVBDate(seconds)) - moment(date)) <= 0.5 + 1e-3);
    return 0;
}
