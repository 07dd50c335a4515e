// Dates: PHP-style formatting, the text and Unix-time conversions of date values, the
// daylight-saving adjustment and the hexadecimal form of a date's bytes.
//
// A date value is local wall-clock time: days since 1899-12-30 00:00:00, the fraction the
// time of day. Below zero the whole part counts the days back and the fraction is still
// the time of day, so -1.25 is 1899-12-29 06:00 (not 1899-12-28 18:00).
#include <time.h>
#include <unistd.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "internal.h"

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::int64_t kMsPerDay = kSecondsPerDay * 1000;
// 1970-01-01 counted from 1899-12-30.
constexpr std::int64_t kUnixEpochDay = 25'569;
// The dates the library formats: 0100-01-01 00:00:00.000 up to 9999-12-31 23:59:59.999.
constexpr std::int64_t kFirstDay = -657'434;
constexpr std::int64_t kEndDay = 2'958'466;

constexpr const char *kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
constexpr const char *kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

std::int64_t floor_mod(std::int64_t a, std::int64_t b) {
    return a - floor_div(a, b) * b;
}

// The wall-clock moment a date value stands for, in milliseconds since 1899-12-30, read
// to the nearest millisecond; nothing for NaN, infinities and values outside the range.
std::optional<std::int64_t> wall_ms(double date) {
    if (!std::isfinite(date) || date <= static_cast<double>(kFirstDay - 1) ||
        date >= static_cast<double>(kEndDay))
        return std::nullopt;
    const double day = std::trunc(date);
    const double fraction = std::fabs(date - day);  // exact: the whole part is removed
    const std::int64_t ms = static_cast<std::int64_t>(day) * kMsPerDay +
                            static_cast<std::int64_t>(std::llround(fraction * kMsPerDay));
    if (ms < kFirstDay * kMsPerDay || ms >= kEndDay * kMsPerDay)
        return std::nullopt;
    return ms;
}

// The date value of a count of units since 1899-12-30 (linear, may be fractional), with
// one rounding: before 1899-12-30 the time of day is stored as a positive fraction
// subtracted from the (negative) day number.
double date_from_units(double units, double per_day) {
    if (!std::isfinite(units) || units >= 0)
        return units / per_day;
    const double day = std::floor(units / per_day);
    double rest = units - day * per_day;  // the time of day, in units
    if (rest < 0)
        rest = 0;
    if (rest >= per_day)
        return day + 1;
    if (rest == 0)
        return day;
    return -((-day) * per_day + rest) / per_day;
}

// ---- The proleptic Gregorian calendar ---------------------------------------------

struct Civil {
    std::int64_t year;
    int month;  // 1..12
    int day;    // 1..31
};

// Days since 1970-01-01 of a civil date.
std::int64_t days_from_civil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = floor_div(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146'097 + doe - 719'468;
}

Civil civil_from_days(std::int64_t z) {
    z += 719'468;
    const std::int64_t era = floor_div(z, 146'097);
    const std::int64_t doe = z - era * 146'097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (m <= 2), m, d};
}

bool is_leap(std::int64_t y) {
    return floor_mod(y, 4) == 0 && (floor_mod(y, 100) != 0 || floor_mod(y, 400) == 0);
}

int days_in_month(std::int64_t y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && is_leap(y) ? 29 : kDays[m - 1];
}

// 0 = Sunday .. 6 = Saturday, for days since 1970-01-01 (a Thursday).
int weekday(std::int64_t days) {
    return static_cast<int>(floor_mod(days + 4, 7));
}

// ISO 8601 weeks: a year has 53 of them when it starts on a Thursday, or on a Wednesday in
// a leap year.
int iso_weeks_in_year(std::int64_t y) {
    const int jan1 = weekday(days_from_civil(y, 1, 1));
    return (jan1 == 4 || (jan1 == 3 && is_leap(y))) ? 53 : 52;
}

// ---- The local time zone ------------------------------------------------------------

struct ZoneState {
    long offset = 0;  // seconds east of UTC
    bool dst = false;
    std::string abbreviation = "UTC";
};

ZoneState zone_at(std::int64_t unix_seconds) {
    ZoneState state;
    const time_t t = static_cast<time_t>(unix_seconds);
    struct tm parts {};
    if (!localtime_r(&t, &parts))
        return state;
    state.offset = parts.tm_gmtoff;
    state.dst = parts.tm_isdst > 0;
    if (parts.tm_zone && parts.tm_zone[0])
        state.abbreviation = parts.tm_zone;
    else
        state.abbreviation.clear();
    return state;
}

// The instant (Unix seconds) a local wall-clock reading stands for. A reading the clocks
// skip (spring forward) is read with the offset in force before the change, so it shows
// the hour after; an ambiguous reading is resolved the way PHP resolves it: the wall
// clock is first looked up as if it were UTC and the offset found there is kept unless
// the reading then falls on the other side of the change.
std::int64_t instant_of_wall(std::int64_t wall) {
    const long current = zone_at(wall).offset;
    const long after = zone_at(wall - current).offset;
    if (current == after)
        return wall - current;
    if (after < current)
        return wall - after;
    // The clocks went back between the two lookups: keep the first offset if the reading
    // with the second one would fall before that change.
    return zone_at(wall - after).offset != after ? wall - current : wall - after;
}

// The zone's name: TZ without its leading ":", else what the system names as its zone,
// else "UTC".
std::string zone_name() {
    auto after_zoneinfo = [](std::string path) {
        const auto at = path.find("zoneinfo/");
        return at == std::string::npos ? path : path.substr(at + 9);
    };
    if (const char *tz = std::getenv("TZ")) {
        std::string name = tz;
        if (!name.empty() && name.front() == ':')
            name.erase(0, 1);
        if (name.empty())
            return "UTC";
        return name.front() == '/' ? after_zoneinfo(name) : name;
    }
    std::ifstream file("/etc/timezone");
    std::string line;
    if (std::getline(file, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty())
            return line;
    }
    std::array<char, 512> link{};
    const ssize_t n = readlink("/etc/localtime", link.data(), link.size() - 1);
    if (n > 0) {
        std::string target(link.data(), static_cast<std::size_t>(n));
        if (target.find("zoneinfo/") != std::string::npos)
            return after_zoneinfo(target);
    }
    return "UTC";
}

// ---- A moment, broken down ------------------------------------------------------------

struct Moment {
    std::int64_t year = 0;
    int month = 1, day = 1, hour = 0, minute = 0, second = 0, ms = 0;
    int wday = 0;           // 0 = Sunday
    int yday = 0;           // 0-based
    std::int64_t unix = 0;  // whole seconds since 1970-01-01 UTC (floor)
    ZoneState zone;
};

// The wall-clock fields of `ms` (milliseconds since 1899-12-30), no zone involved.
Moment wall_fields(std::int64_t ms) {
    Moment m;
    const std::int64_t day = floor_div(ms, kMsPerDay) - kUnixEpochDay;
    const std::int64_t in_day = floor_mod(ms, kMsPerDay);
    const Civil c = civil_from_days(day);
    m.year = c.year;
    m.month = c.month;
    m.day = c.day;
    m.hour = static_cast<int>(in_day / 3'600'000);
    m.minute = static_cast<int>(in_day / 60'000 % 60);
    m.second = static_cast<int>(in_day / 1000 % 60);
    m.ms = static_cast<int>(in_day % 1000);
    m.wday = weekday(day);
    m.yday = static_cast<int>(day - days_from_civil(c.year, 1, 1));
    return m;
}

// The moment in the local zone: the instant the wall clock stands for, and the local
// fields of that instant (the same as the wall clock except in a skipped hour).
Moment local_moment(std::int64_t ms) {
    const std::int64_t wall = floor_div(ms, 1000) - kUnixEpochDay * kSecondsPerDay;
    const std::int64_t unix = instant_of_wall(wall);
    const ZoneState zone = zone_at(unix);
    const std::int64_t local = unix + zone.offset;
    Moment m = wall_fields((local + kUnixEpochDay * kSecondsPerDay) * 1000 + floor_mod(ms, 1000));
    m.unix = unix;
    m.zone = zone;
    return m;
}

// ---- PHP-style formatting -----------------------------------------------------------

void append_number(std::string &out, std::int64_t value, int width = 0) {
    char buffer[32];
    const int n =
        std::snprintf(buffer, sizeof buffer, "%0*lld", width, static_cast<long long>(value));
    out.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// A year written with at least four digits, "-" before years BCE.
void append_year(std::string &out, std::int64_t year) {
    if (year < 0)
        out += '-';
    append_number(out, year < 0 ? -year : year, 4);
}

// "+hh:mm" (with_colon) or "+hhmm"; seconds of an offset are dropped.
// "hh:mm:ss", 24-hour clock.
void append_clock(std::string &out, int hour, int minute, int second) {
    append_number(out, hour, 2);
    out += ':';
    append_number(out, minute, 2);
    out += ':';
    append_number(out, second, 2);
}

void append_offset(std::string &out, long offset, bool with_colon) {
    out += offset < 0 ? '-' : '+';
    const long a = offset < 0 ? -offset : offset;
    append_number(out, a / 3600, 2);
    if (with_colon)
        out += ':';
    append_number(out, a % 3600 / 60, 2);
}

const char *ordinal_suffix(int day) {
    if (day >= 10 && day <= 19)
        return "th";
    switch (day % 10) {
        case 1:
            return "st";
        case 2:
            return "nd";
        case 3:
            return "rd";
        default:
            return "th";
    }
}

// Swatch beats: thousandths of a day in UTC+1, computed with whole seconds.
int swatch_beats(std::int64_t unix) {
    std::int64_t beats = (unix % kSecondsPerDay + 3600) * 10;
    if (beats < 0)
        beats += 864'000;
    return static_cast<int>(beats / 864 % 1000);
}

// Appends the text of one format letter; returns false when `letter` is no format letter.
bool append_letter(std::string &out, char letter, const Moment &m, const std::string &zone) {
    const int hour12 = m.hour % 12 == 0 ? 12 : m.hour % 12;
    const int iso_day = m.wday == 0 ? 7 : m.wday;
    switch (letter) {
        // Day
        case 'd':
            append_number(out, m.day, 2);
            break;
        case 'D':
            out.append(kDayNames[m.wday], 3);
            break;
        case 'j':
            append_number(out, m.day);
            break;
        case 'l':
            out += kDayNames[m.wday];
            break;
        case 'N':
            append_number(out, iso_day);
            break;
        case 'S':
            out += ordinal_suffix(m.day);
            break;
        case 'w':
            append_number(out, m.wday);
            break;
        case 'z':
            append_number(out, m.yday);
            break;
        // Week and ISO year
        case 'W':
        case 'o': {
            std::int64_t iso_year = m.year;
            int week = (m.yday + 1 - iso_day + 10) / 7;
            if (week < 1) {
                --iso_year;
                week = iso_weeks_in_year(iso_year);
            } else if (week > iso_weeks_in_year(m.year)) {
                ++iso_year;
                week = 1;
            }
            if (letter == 'W')
                append_number(out, week, 2);
            else
                append_number(out, iso_year);
            break;
        }
        // Month
        case 'F':
            out += kMonthNames[m.month - 1];
            break;
        case 'm':
            append_number(out, m.month, 2);
            break;
        case 'M':
            out.append(kMonthNames[m.month - 1], 3);
            break;
        case 'n':
            append_number(out, m.month);
            break;
        case 't':
            append_number(out, days_in_month(m.year, m.month));
            break;
        // Year
        case 'L':
            out += is_leap(m.year) ? '1' : '0';
            break;
        case 'X':
            out += m.year < 0 ? '-' : '+';
            append_number(out, m.year < 0 ? -m.year : m.year, 4);
            break;
        case 'x':
            if (m.year >= 10'000)
                out += '+';
            append_year(out, m.year);
            break;
        case 'Y':
            append_year(out, m.year);
            break;
        case 'y':
            append_number(out, floor_mod(m.year, 100), 2);
            break;
        // Time
        case 'a':
            out += m.hour < 12 ? "am" : "pm";
            break;
        case 'A':
            out += m.hour < 12 ? "AM" : "PM";
            break;
        case 'B':
            append_number(out, swatch_beats(m.unix), 3);
            break;
        case 'g':
            append_number(out, hour12);
            break;
        case 'G':
            append_number(out, m.hour);
            break;
        case 'h':
            append_number(out, hour12, 2);
            break;
        case 'H':
            append_number(out, m.hour, 2);
            break;
        case 'i':
            append_number(out, m.minute, 2);
            break;
        case 's':
            append_number(out, m.second, 2);
            break;
        case 'u':
            append_number(out, m.ms * 1000, 6);
            break;
        case 'v':
            append_number(out, m.ms, 3);
            break;
        // Time zone
        case 'e':
            out += zone;
            break;
        case 'I':
            out += m.zone.dst ? '1' : '0';
            break;
        case 'O':
            append_offset(out, m.zone.offset, false);
            break;
        case 'P':
            append_offset(out, m.zone.offset, true);
            break;
        case 'p':
            if (m.zone.abbreviation == "UTC" || m.zone.abbreviation == "Z")
                out += 'Z';
            else
                append_offset(out, m.zone.offset, true);
            break;
        case 'T':
            if (m.zone.abbreviation.empty())
                append_offset(out, m.zone.offset, true);
            else
                out += m.zone.abbreviation;
            break;
        case 'Z':
            append_number(out, m.zone.offset);
            break;
        // Whole dates
        case 'c':
            append_year(out, m.year);
            out += '-';
            append_number(out, m.month, 2);
            out += '-';
            append_number(out, m.day, 2);
            out += 'T';
            append_clock(out, m.hour, m.minute, m.second);
            append_offset(out, m.zone.offset, true);
            break;
        case 'r':
            out.append(kDayNames[m.wday], 3);
            out += ", ";
            append_number(out, m.day, 2);
            out += ' ';
            out.append(kMonthNames[m.month - 1], 3);
            out += ' ';
            append_year(out, m.year);
            out += ' ';
            append_clock(out, m.hour, m.minute, m.second);
            out += ' ';
            append_offset(out, m.zone.offset, false);
            break;
        case 'U':
            append_number(out, m.unix);
            break;
        // The C library's asctime() form without its line break.
        case 'C': {
            out.append(kDayNames[m.wday], 3);
            out += ' ';
            out.append(kMonthNames[m.month - 1], 3);
            out += ' ';
            if (m.day < 10)
                out += ' ';
            append_number(out, m.day);
            out += ' ';
            append_clock(out, m.hour, m.minute, m.second);
            out += ' ';
            append_number(out, m.year);
            break;
        }
        default:
            return false;
    }
    return true;
}

// The formatted text, or nothing when it would exceed the longest text the library makes.
std::optional<std::string> format_date(std::int64_t ms, std::string_view format) {
    const Moment m = local_moment(ms);
    const std::string zone = format.find('e') != std::string_view::npos ? zone_name() : "";
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '\\') {
            // The next byte is literal; a lone backslash at the end stays a backslash.
            out += i + 1 < format.size() ? format[++i] : '\\';
        } else if (!append_letter(out, c, m, zone)) {
            out += c;
        }
        if (out.size() > QOR_TEXT_MAX)
            return std::nullopt;
    }
    return out;
}

// The offset the local clock is ahead of its standard time at `unix` (0 outside daylight
// saving time): the zone's offset now minus the offset of the nearest standard-time reading
// within a year on either side.
long daylight_saving_shift(std::int64_t unix) {
    const ZoneState now = zone_at(unix);
    if (!now.dst)
        return 0;
    constexpr std::int64_t kMonth = 30 * kSecondsPerDay;
    for (int k = 1; k <= 13; ++k) {
        for (const std::int64_t probe : {unix - k * kMonth, unix + k * kMonth}) {
            const ZoneState other = zone_at(probe);
            if (!other.dst)
                return now.offset - other.offset;
        }
    }
    return 0;
}

qor_text *empty_text() {
    return qorlib::make_text(std::string_view());
}

}  // namespace

extern "C" QOR_API qor_text *PHPDate(double date, const char *format) {
    try {
        const std::optional<std::int64_t> ms = wall_ms(date);
        if (!ms)
            return empty_text();
        tzset();
        const std::string_view fmt = format ? std::string_view(format) : "Y-m-d H:i:s";
        const std::optional<std::string> text = format_date(*ms, fmt);
        return text ? qorlib::make_text(*text) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

extern "C" QOR_API double DSTAdjust(double date) {
    try {
        const std::optional<std::int64_t> ms = wall_ms(date);
        if (!ms)
            return date;
        tzset();
        const std::int64_t wall = floor_div(*ms, 1000) - kUnixEpochDay * kSecondsPerDay;
        const long shift = daylight_saving_shift(instant_of_wall(wall));
        if (shift == 0)
            return date;
        return date_from_units(static_cast<double>(*ms + shift * 1000LL),
                               static_cast<double>(kMsPerDay));
    } catch (...) {
        return date;  // only when memory runs out
    }
}

extern "C" QOR_API qor_text *VBDate(double date) {
    const std::optional<std::int64_t> ms = wall_ms(date);
    if (!ms)
        return empty_text();
    const Moment m = wall_fields(*ms);
    char buffer[64];
    const int n =
        std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02d %02d:%02d:%02d",
                      static_cast<long long>(m.year), m.month, m.day, m.hour, m.minute, m.second);
    return qorlib::make_text(std::string_view(buffer, n > 0 ? static_cast<std::size_t>(n) : 0));
}

extern "C" QOR_API double VBDateToCTime(double date) {
    if (!std::isfinite(date))
        return date;
    const double day = std::trunc(date);
    const double seconds_of_day = std::round(std::fabs(date - day) * kSecondsPerDay);
    return (day - static_cast<double>(kUnixEpochDay)) * kSecondsPerDay + seconds_of_day;
}

extern "C" QOR_API double CTimeToVBDate(double seconds) {
    return date_from_units(seconds + static_cast<double>(kUnixEpochDay * kSecondsPerDay),
                           static_cast<double>(kSecondsPerDay));
}

extern "C" QOR_API qor_text *DateToHex(double date) {
    constexpr const char *kDigits = qorlib::kHexDigits;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(date);
    char hex[16];
    for (int i = 0; i < 8; ++i) {
        const auto byte = static_cast<unsigned>((bits >> (8 * i)) & 0xFF);
        hex[2 * i] = kDigits[byte >> 4];
        hex[2 * i + 1] = kDigits[byte & 0xF];
    }
    return qorlib::make_text(std::string_view(hex, sizeof hex));
}

extern "C" QOR_API double HexToDate(const char *hex) {
    const std::string_view text = qorlib::arg(hex);
    if (text.size() != 16)
        return 0;
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        const int value = qorlib::hex_digit_value(text[i]);
        if (value < 0)
            return 0;
        const auto digit = static_cast<unsigned>(value);
        // Byte i/2 in little-endian order; its high digit comes first.
        const unsigned shift = static_cast<unsigned>(8 * (i / 2) + (i % 2 == 0 ? 4 : 0));
        bits |= static_cast<std::uint64_t>(digit) << shift;
    }
    return std::bit_cast<double>(bits);
}
