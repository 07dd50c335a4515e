// Dates: PHP-style formatting, the text and Unix-time conversions of date values, the
// daylight-saving adjustment and the hexadecimal form of a date's bytes.
//
// A date value is local wall-clock time: days since 1899-12-30 00:00:00, the fraction the
// time of day. Below zero the whole part counts the days back and the fraction is still
// the time of day, so -1.25 is 1899-12-29 06:00 (not 1899-12-28 18:00).
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calendar.h"
#include "internal.h"
#include "platform.h"

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

using qorlib::floor_div;
using qorlib::floor_mod;

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

// ---- The proleptic Gregorian calendar (calendar.h) ----------------------------------

using qorlib::Civil;
using qorlib::civil_from_days;
using qorlib::days_from_civil;
using qorlib::days_in_month;
using qorlib::is_leap;
using qorlib::weekday;

// 0 for January 1st.
int day_of_year(const Civil &c) {
    static constexpr int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    return kDaysBefore[c.month - 1] + c.day - 1 + (c.month > 2 && is_leap(c.year) ? 1 : 0);
}

// ISO 8601 weeks: a year has 53 of them when it starts on a Thursday, or on a Wednesday in
// a leap year.
int iso_weeks_in_year(std::int64_t y) {
    const int jan1 = weekday(days_from_civil(y, 1, 1));
    return (jan1 == 4 || (jan1 == 3 && is_leap(y))) ? 53 : 52;
}

// ---- The local time zone: the one part that asks the system (datetime_*.cpp) --------
//
// Everything else works on Unix seconds and two functions: use_current_zone() before a
// call's lookups (it also gives the zone's name), and zone_at() for each lookup.

using qorlib::sys::use_current_zone;
using qorlib::sys::zone_at;
using qorlib::sys::ZoneState;

// ---- From the wall clock to the instant -------------------------------------------------

struct Instant {
    std::int64_t unix;  // seconds since 1970-01-01 UTC
    ZoneState zone;     // the zone at that instant
};

// The instant a local wall-clock reading (in seconds, read as if UTC) stands for. A reading
// the clocks skip (spring forward) is read with the offset in force before the change, so
// it shows the hour after; an ambiguous reading is resolved the way PHP resolves it: the
// wall clock is first looked up as if it were UTC and the offset found there is kept unless
// the reading then falls on the other side of the change. Each lookup made on the way is
// kept, so the usual case takes two.
Instant instant_of_wall(std::int64_t wall) {
    const long current = zone_at(wall).offset;
    ZoneState after = zone_at(wall - current);
    if (current == after.offset)
        return {wall - current, std::move(after)};
    if (after.offset < current)
        return {wall - after.offset, zone_at(wall - after.offset)};
    // The clocks went back between the two lookups: keep the first offset if the reading
    // with the second one would fall before that change.
    ZoneState third = zone_at(wall - after.offset);
    if (third.offset != after.offset)
        return {wall - current, std::move(after)};
    return {wall - after.offset, std::move(third)};
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
    m.yday = day_of_year(c);
    return m;
}

// The moment in the local zone: the instant the wall clock stands for, and the local
// fields of that instant (the same as the wall clock except in a skipped hour).
Moment local_moment(std::int64_t ms) {
    const std::int64_t wall = floor_div(ms, 1000) - kUnixEpochDay * kSecondsPerDay;
    Instant instant = instant_of_wall(wall);
    const std::int64_t local = instant.unix + instant.zone.offset;
    Moment m = wall_fields((local + kUnixEpochDay * kSecondsPerDay) * 1000 + floor_mod(ms, 1000));
    m.unix = instant.unix;
    m.zone = std::move(instant.zone);
    return m;
}

// ---- Writing a result -----------------------------------------------------------------

// "00" .. "99", for writing two digits at a time.
constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Builds a text on the stack and moves to the heap only for long ones, so that a date costs
// a single allocation: its result. Callers make room with reserve() before writing.
class Writer {
  public:
    Writer() = default;
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    void reserve(std::size_t n) {
        if (static_cast<std::size_t>(end_ - pos_) < n)
            grow(n);
    }
    void put(char c) { *pos_++ = c; }
    void put(std::string_view s) {
        std::memcpy(pos_, s.data(), s.size());
        pos_ += s.size();
    }
    // 0..99 as two digits.
    void put2(int value) {
        std::memcpy(pos_, kDigitPairs.data() + 2 * value, 2);
        pos_ += 2;
    }
    // In decimal with at least `width` characters, zeros after a "-" making up the width,
    // as printf's "%0*lld" writes it.
    void put_number(std::int64_t value, int width = 0) {
        char digits[20];
        char *first = std::end(digits);
        auto magnitude = static_cast<std::uint64_t>(value);
        if (value < 0) {
            magnitude = 0 - magnitude;
            put('-');
            --width;
        }
        do {
            *--first = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        for (auto count = std::end(digits) - first; count < width; ++count)
            put('0');
        put(std::string_view(first, static_cast<std::size_t>(std::end(digits) - first)));
    }
    std::size_t size() const { return static_cast<std::size_t>(pos_ - begin_); }
    std::string_view view() const { return {begin_, size()}; }

  private:
    void grow(std::size_t n) {
        const std::size_t used = size();
        const std::size_t capacity =
            std::max(2 * static_cast<std::size_t>(end_ - begin_), used + n);
        auto bigger = std::make_unique<char[]>(capacity);
        std::memcpy(bigger.get(), begin_, used);
        heap_ = std::move(bigger);
        begin_ = heap_.get();
        pos_ = begin_ + used;
        end_ = begin_ + capacity;
    }

    char local_[256];
    std::unique_ptr<char[]> heap_;
    char *begin_ = local_;
    char *pos_ = local_;
    char *end_ = local_ + sizeof local_;
};

// ---- PHP-style formatting -----------------------------------------------------------

// Enough for the longest letter of fixed size ("C" with a 20-digit year takes 41 bytes).
constexpr std::size_t kRoomPerLetter = 64;

// A year written with at least four digits, "-" before years BCE.
void put_year(Writer &out, std::int64_t year) {
    if (year >= 0 && year <= 9999) {
        out.put2(static_cast<int>(year / 100));
        out.put2(static_cast<int>(year % 100));
        return;
    }
    if (year < 0)
        out.put('-');
    out.put_number(year < 0 ? -year : year, 4);
}

// "hh:mm:ss", 24-hour clock.
void put_clock(Writer &out, const Moment &m) {
    out.put2(m.hour);
    out.put(':');
    out.put2(m.minute);
    out.put(':');
    out.put2(m.second);
}

// "yyyy-mm-dd", `between`, "hh:mm:ss".
void put_date_and_clock(Writer &out, const Moment &m, char between) {
    put_year(out, m.year);
    out.put('-');
    out.put2(m.month);
    out.put('-');
    out.put2(m.day);
    out.put(between);
    put_clock(out, m);
}

// "+hh:mm" (with_colon) or "+hhmm"; seconds of an offset are dropped.
void put_offset(Writer &out, long offset, bool with_colon) {
    out.put(offset < 0 ? '-' : '+');
    const long a = offset < 0 ? -offset : offset;
    out.put_number(a / 3600, 2);
    if (with_colon)
        out.put(':');
    out.put2(static_cast<int>(a % 3600 / 60));
}

std::string_view ordinal_suffix(int day) {
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

std::string_view day_name(const Moment &m, std::size_t length = std::string_view::npos) {
    return std::string_view(kDayNames[m.wday]).substr(0, length);
}

std::string_view month_name(const Moment &m, std::size_t length = std::string_view::npos) {
    return std::string_view(kMonthNames[m.month - 1]).substr(0, length);
}

// Swatch beats: thousandths of a day in UTC+1, computed with whole seconds.
int swatch_beats(std::int64_t unix) {
    std::int64_t beats = (unix % kSecondsPerDay + 3600) * 10;
    if (beats < 0)
        beats += 864'000;
    return static_cast<int>(beats / 864 % 1000);
}

// Writes the text of one format letter; returns false when `letter` is no format letter.
// Room for kRoomPerLetter bytes has been made; the zone's texts make their own.
bool put_letter(Writer &out, char letter, const Moment &m, std::string_view zone) {
    const int hour12 = m.hour % 12 == 0 ? 12 : m.hour % 12;
    const int iso_day = m.wday == 0 ? 7 : m.wday;
    switch (letter) {
        // Day
        case 'd':
            out.put2(m.day);
            break;
        case 'D':
            out.put(day_name(m, 3));
            break;
        case 'j':
            out.put_number(m.day);
            break;
        case 'l':
            out.put(day_name(m));
            break;
        case 'N':
            out.put_number(iso_day);
            break;
        case 'S':
            out.put(ordinal_suffix(m.day));
            break;
        case 'w':
            out.put_number(m.wday);
            break;
        case 'z':
            out.put_number(m.yday);
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
                out.put2(week);
            else
                out.put_number(iso_year);
            break;
        }
        // Month
        case 'F':
            out.put(month_name(m));
            break;
        case 'm':
            out.put2(m.month);
            break;
        case 'M':
            out.put(month_name(m, 3));
            break;
        case 'n':
            out.put_number(m.month);
            break;
        case 't':
            out.put_number(days_in_month(m.year, m.month));
            break;
        // Year
        case 'L':
            out.put(is_leap(m.year) ? '1' : '0');
            break;
        case 'X':
            out.put(m.year < 0 ? '-' : '+');
            out.put_number(m.year < 0 ? -m.year : m.year, 4);
            break;
        case 'x':
            if (m.year >= 10'000)
                out.put('+');
            put_year(out, m.year);
            break;
        case 'Y':
            put_year(out, m.year);
            break;
        case 'y':
            out.put2(static_cast<int>(floor_mod(m.year, 100)));
            break;
        // Time
        case 'a':
            out.put(m.hour < 12 ? "am" : "pm");
            break;
        case 'A':
            out.put(m.hour < 12 ? "AM" : "PM");
            break;
        case 'B':
            out.put_number(swatch_beats(m.unix), 3);
            break;
        case 'g':
            out.put_number(hour12);
            break;
        case 'G':
            out.put_number(m.hour);
            break;
        case 'h':
            out.put2(hour12);
            break;
        case 'H':
            out.put2(m.hour);
            break;
        case 'i':
            out.put2(m.minute);
            break;
        case 's':
            out.put2(m.second);
            break;
        case 'u':
            out.put_number(m.ms * 1000, 6);
            break;
        case 'v':
            out.put_number(m.ms, 3);
            break;
        // Time zone
        case 'e':
            out.reserve(zone.size());
            out.put(zone);
            break;
        case 'I':
            out.put(m.zone.dst ? '1' : '0');
            break;
        case 'O':
            put_offset(out, m.zone.offset, false);
            break;
        case 'P':
            put_offset(out, m.zone.offset, true);
            break;
        case 'p':
            if (m.zone.abbreviation == "UTC" || m.zone.abbreviation == "Z")
                out.put('Z');
            else
                put_offset(out, m.zone.offset, true);
            break;
        case 'T':
            if (m.zone.abbreviation.empty()) {
                put_offset(out, m.zone.offset, true);
            } else {
                out.reserve(m.zone.abbreviation.size());
                out.put(m.zone.abbreviation);
            }
            break;
        case 'Z':
            out.put_number(m.zone.offset);
            break;
        // Whole dates
        case 'c':
            put_date_and_clock(out, m, 'T');
            put_offset(out, m.zone.offset, true);
            break;
        case 'r':
            out.put(day_name(m, 3));
            out.put(", ");
            out.put2(m.day);
            out.put(' ');
            out.put(month_name(m, 3));
            out.put(' ');
            put_year(out, m.year);
            out.put(' ');
            put_clock(out, m);
            out.put(' ');
            put_offset(out, m.zone.offset, false);
            break;
        case 'U':
            out.put_number(m.unix);
            break;
        // The C library's asctime() form without its line break.
        case 'C':
            out.put(day_name(m, 3));
            out.put(' ');
            out.put(month_name(m, 3));
            out.put(' ');
            if (m.day < 10)
                out.put(' ');
            out.put_number(m.day);
            out.put(' ');
            put_clock(out, m);
            out.put(' ');
            out.put_number(m.year);
            break;
        default:
            return false;
    }
    return true;
}

// The exact length of the formatted text, or QOR_TEXT_MAX + 1 when it is longer than that.
// A letter gives the same text wherever it stands, so each distinct one is written once
// and multiplied by its count: a text that is too long is known before it is built.
std::size_t formatted_length(std::string_view format, const Moment &m, std::string_view zone) {
    std::array<std::size_t, 256> uses{};
    std::size_t total = 0;  // escaped bytes
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '\\') {
            ++total;
            ++i;
        } else {
            ++uses[static_cast<unsigned char>(format[i])];
        }
    }
    constexpr std::size_t kTooLong = QOR_TEXT_MAX + 1;
    for (std::size_t letter = 0; letter < uses.size() && total < kTooLong; ++letter) {
        if (uses[letter] == 0)
            continue;
        Writer one;
        one.reserve(kRoomPerLetter);
        const std::size_t each =
            put_letter(one, static_cast<char>(letter), m, zone) ? one.size() : 1;
        if (each != 0 && uses[letter] > (kTooLong - total) / each)
            return kTooLong;
        total += uses[letter] * each;
    }
    return std::min(total, kTooLong);
}

// The formatted text; null when memory runs out or it would exceed the longest text the
// library makes.
qor_text *format_date(std::int64_t ms, std::string_view format) {
    std::string zone;
    use_current_zone(format.find('e') != std::string_view::npos ? &zone : nullptr);
    const Moment m = local_moment(ms);
    Writer out;
    // No letter writes more than this, so short formats need no measuring.
    const std::size_t widest = kRoomPerLetter + std::max(zone.size(), m.zone.abbreviation.size());
    if (format.size() > QOR_TEXT_MAX / widest) {
        const std::size_t length = formatted_length(format, m, zone);
        if (length > QOR_TEXT_MAX)
            return nullptr;
        out.reserve(length + kRoomPerLetter);
    }
    for (std::size_t i = 0; i < format.size(); ++i) {
        out.reserve(kRoomPerLetter);
        const char c = format[i];
        if (c == '\\') {
            // The next byte is literal; a lone backslash at the end stays a backslash.
            out.put(i + 1 < format.size() ? format[++i] : '\\');
        } else if (!put_letter(out, c, m, zone)) {
            out.put(c);
        }
        if (out.size() > QOR_TEXT_MAX)
            return nullptr;
    }
    return qorlib::make_text(out.view());
}

// ---- Daylight-saving time ------------------------------------------------------------

// Under a yearly rule each period, of either kind, lasts less than a year: 13 probes 30 days
// apart reach the other kind.
constexpr std::int64_t kProbeStep = 30 * kSecondsPerDay;
constexpr int kProbes = 13;

// Where daylight-saving time gives way to standard time, on one side of an instant: a
// daylight-saving instant and a standard-time one further out, with the change between.
struct Change {
    std::int64_t summer, standard;
};

// The instant of standard time next to the change, found by halving.
std::int64_t exact(Change c) {
    while (c.standard - c.summer > 1 || c.summer - c.standard > 1) {
        const std::int64_t middle = c.summer + (c.standard - c.summer) / 2;
        (zone_at(middle).dst ? c.summer : c.standard) = middle;
    }
    return c.standard;
}

// Under the zone's yearly rule: the nearest change to standard time from `from` (in
// daylight-saving time) on one side (`side` -1 earlier, +1 later), not beyond `stop`.
std::optional<Change> standard_by_rule(std::int64_t from, int side, std::int64_t stop) {
    for (int k = 1; k <= kProbes; ++k) {
        std::int64_t probe = from + side * k * kProbeStep;
        if ((probe - stop) * side > 0)
            probe = stop;
        if (!zone_at(probe).dst)
            return Change{from + side * (k - 1) * kProbeStep, probe};
        if (probe == stop)
            break;
    }
    return std::nullopt;
}

// The nearest change to standard time from `from` (in daylight-saving time) on one side,
// however far: where the zone lists its changes, the state can only change at them, so
// each is probed once; only where the yearly rule holds (after the last) is it searched.
std::optional<Change> nearest_standard(std::int64_t from, int side,
                                       const std::vector<std::int64_t> &changes) {
    constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max() / 4;
    if (changes.empty())
        return standard_by_rule(from, side, side * kNever);
    const std::int64_t last = changes.back();
    if (side < 0) {
        if (from > last) {
            if (auto found = standard_by_rule(from, side, last))
                return found;
            from = last;  // daylight-saving time from the last change on
        }
        // The change that started the period `from` is in, and those before it.
        for (auto it = std::upper_bound(changes.begin(), changes.end(), from);
             it != changes.begin();) {
            --it;
            if (!zone_at(*it - 1).dst)
                return Change{*it, *it - 1};
        }
        return std::nullopt;  // before the first change as well
    }
    if (from < last) {
        for (auto it = std::upper_bound(changes.begin(), changes.end(), from); it != changes.end();
             ++it) {
            if (!zone_at(*it).dst)
                return Change{*it - 1, *it};
        }
        from = last;
    }
    return standard_by_rule(from, side, kNever);
}

// The offset the local clock is ahead of its standard time at an instant (0 outside
// daylight saving time): the zone's offset then minus the offset of the nearest
// standard-time instant, however far (the earlier one when both are as near). Where is
// found to the second only when the standard times on either side differ.
long daylight_saving_shift(const Instant &instant) {
    const ZoneState &now = instant.zone;
    const std::int64_t unix = instant.unix;
    if (!now.dst)
        return 0;
    const auto changes = qorlib::sys::zone_transitions();
    const auto before = nearest_standard(unix, -1, *changes);
    const auto after = nearest_standard(unix, +1, *changes);
    if (!before && !after)
        return 0;
    if (!before || !after)
        return now.offset - zone_at((before ? before : after)->standard).offset;
    const long earlier = zone_at(before->standard).offset;
    const long later = zone_at(after->standard).offset;
    if (earlier == later)
        return now.offset - earlier;
    const std::int64_t first = exact(*before), second = exact(*after);
    return now.offset - zone_at(unix - first <= second - unix ? first : second).offset;
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
        return format_date(*ms, format ? std::string_view(format) : "Y-m-d H:i:s");
    } catch (...) {
        return nullptr;
    }
}

extern "C" QOR_API double DSTAdjust(double date) {
    try {
        const std::optional<std::int64_t> ms = wall_ms(date);
        if (!ms)
            return date;
        use_current_zone(nullptr);
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
    Writer out;
    out.reserve(kRoomPerLetter);
    put_date_and_clock(out, m, ' ');
    return qorlib::make_text(out.view());
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
