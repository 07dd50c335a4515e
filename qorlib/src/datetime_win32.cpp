// The local time zone on Windows: the zone's rules come from the Win32 zone API, year by
// year, and are applied here, so that every year the library formats (100 to 9999) has an
// answer (the system's own conversions stop before 1601) and the C runtime's zone, which
// misses daylight-saving time, is never asked.
#include <cstdint>
#include <cwchar>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "calendar.h"
#include "platform.h"
#include "win32.h"

namespace {

using qorlib::sys::ZoneState;

// The rules of the zone for one year, offsets in seconds east of UTC.
struct YearRules {
    long standard = 0;
    long daylight = 0;
    bool has_dst = false;
    SYSTEMTIME to_daylight{};  // when daylight-saving time starts, in standard local time
    SYSTEMTIME to_standard{};  // when it ends, in daylight-saving local time
};

YearRules rules_of(const TIME_ZONE_INFORMATION &zone) {
    YearRules rules;
    rules.standard = -(zone.Bias + zone.StandardBias) * 60L;
    rules.daylight = -(zone.Bias + zone.DaylightBias) * 60L;
    rules.has_dst = zone.StandardDate.wMonth != 0 && zone.DaylightDate.wMonth != 0;
    rules.to_daylight = zone.DaylightDate;
    rules.to_standard = zone.StandardDate;
    return rules;
}

// The zone in force, as last read, and the rules of the years asked for since: reading a
// year's rules costs the registry, so each is read once per zone.
struct CurrentZone {
    std::mutex mutex;
    bool known = false;
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    std::map<std::int64_t, YearRules> years;
    std::string name;
    std::string abbreviation;  // "UTC" for Windows' own UTC zone, else none
};

CurrentZone &current_zone() {
    // Destroyed when the library is unloaded, so that unloading it leaks nothing.
    static CurrentZone zone;
    return zone;
}

// Windows keeps its zone rules for years 1601 to 30827; other years take the nearest.
const YearRules &rules_for(CurrentZone &current, std::int64_t year) {
    const std::int64_t asked = year < 1601 ? 1601 : year > 30827 ? 30827 : year;
    auto found = current.years.find(asked);
    if (found != current.years.end())
        return found->second;
    TIME_ZONE_INFORMATION zone{};
    if (!GetTimeZoneInformationForYear(static_cast<USHORT>(asked), &current.zone, &zone)) {
        // A zone without a key in the registry: its one set of rules holds for every year.
        zone.Bias = current.zone.Bias;
        zone.StandardBias = current.zone.StandardBias;
        zone.DaylightBias = current.zone.DaylightBias;
        zone.StandardDate = current.zone.StandardDate;
        zone.DaylightDate = current.zone.DaylightDate;
    }
    return current.years.emplace(asked, rules_of(zone)).first->second;
}

// Seconds since 1970-01-01 of the local wall-clock reading a transition rule names in
// `year`: either a fixed date (wYear set) or the wDay-th wDayOfWeek of the month, 5 being
// the last. A rule at 23:59:59.999 means the end of the day.
std::int64_t transition(std::int64_t year, const SYSTEMTIME &rule) {
    std::int64_t day = 0;
    if (rule.wYear != 0) {
        day = qorlib::days_from_civil(year, rule.wMonth, rule.wDay);
    } else {
        const std::int64_t first = qorlib::days_from_civil(year, rule.wMonth, 1);
        const int first_weekday = qorlib::weekday(first);
        day = first + (rule.wDayOfWeek - first_weekday + 7) % 7 + 7 * (rule.wDay - 1);
        const int month_length = qorlib::days_in_month(year, rule.wMonth);
        while (day - first >= month_length)
            day -= 7;
    }
    return day * 86'400 + rule.wHour * 3600 + rule.wMinute * 60 + rule.wSecond +
           (rule.wMilliseconds > 0 ? 1 : 0);
}

// "+01", "+0530", "-03": how zone abbreviations read where the zone has no letters.
std::string numeric_abbreviation(long offset) {
    const long a = offset < 0 ? -offset : offset;
    std::string text(1, offset < 0 ? '-' : '+');
    auto two = [&](long n) {
        text += static_cast<char>('0' + n / 10);
        text += static_cast<char>('0' + n % 10);
    };
    two(a / 3600);
    if (a % 3600 != 0)
        two(a % 3600 / 60);
    return text;
}

bool same_time(const SYSTEMTIME &a, const SYSTEMTIME &b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDayOfWeek == b.wDayOfWeek &&
           a.wDay == b.wDay && a.wHour == b.wHour && a.wMinute == b.wMinute &&
           a.wSecond == b.wSecond && a.wMilliseconds == b.wMilliseconds;
}

// Field by field: the bytes after a name's end are not the system's to keep equal.
bool same_zone(const DYNAMIC_TIME_ZONE_INFORMATION &a, const DYNAMIC_TIME_ZONE_INFORMATION &b) {
    return a.Bias == b.Bias && a.StandardBias == b.StandardBias &&
           a.DaylightBias == b.DaylightBias && same_time(a.StandardDate, b.StandardDate) &&
           same_time(a.DaylightDate, b.DaylightDate) &&
           std::wcscmp(a.StandardName, b.StandardName) == 0 &&
           std::wcscmp(a.DaylightName, b.DaylightName) == 0 &&
           std::wcscmp(a.TimeZoneKeyName, b.TimeZoneKeyName) == 0 &&
           a.DynamicDaylightTimeDisabled == b.DynamicDaylightTimeDisabled;
}

}  // namespace

namespace qorlib::sys {

void use_current_zone(std::string *name) {
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    if (GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID)
        zone = DYNAMIC_TIME_ZONE_INFORMATION{};
    CurrentZone &current = current_zone();
    const std::lock_guard<std::mutex> lock(current.mutex);
    // A zone changed in the system's settings shows in the next call.
    if (!current.known || !same_zone(zone, current.zone)) {
        current.zone = zone;
        current.years.clear();
        const wchar_t *label = zone.TimeZoneKeyName[0] ? zone.TimeZoneKeyName : zone.StandardName;
        current.name = win32::narrow(label);
        if (current.name.empty())
            current.name = "UTC";
        current.abbreviation = current.name == "UTC" ? "UTC" : "";
        current.known = true;
    }
    if (name)
        *name = current.name;
}

// The rules hold year by year, with no list of changes.
std::shared_ptr<const std::vector<std::int64_t>> zone_transitions() {
    static const auto kNone = std::make_shared<const std::vector<std::int64_t>>();
    return kNone;
}

ZoneState zone_at(std::int64_t unix_seconds) {
    CurrentZone &current = current_zone();
    const std::lock_guard<std::mutex> lock(current.mutex);
    // The year the rules apply to is the local one; near New Year the standard offset
    // decides which that is.
    auto year_of = [](std::int64_t seconds) {
        return qorlib::civil_from_days(qorlib::floor_div(seconds, 86'400)).year;
    };
    std::int64_t year = year_of(unix_seconds);
    const YearRules *rules = &rules_for(current, year);
    if (const std::int64_t local_year = year_of(unix_seconds + rules->standard); local_year != year)
        rules = &rules_for(current, year = local_year);
    bool dst = false;
    if (rules->has_dst) {
        const std::int64_t start = transition(year, rules->to_daylight) - rules->standard;
        const std::int64_t end = transition(year, rules->to_standard) - rules->daylight;
        dst = start < end ? unix_seconds >= start && unix_seconds < end
                          : unix_seconds >= start || unix_seconds < end;
    }
    ZoneState state;
    state.offset = dst ? rules->daylight : rules->standard;
    state.dst = dst;
    state.abbreviation = !current.abbreviation.empty() && state.offset == 0
                             ? current.abbreviation
                             : numeric_abbreviation(state.offset);
    return state;
}

}  // namespace qorlib::sys
