// The proleptic Gregorian calendar on day counts since 1970-01-01, shared by the date
// functions and the local-time zone of each system. Nothing here is exported.
#pragma once

#include <cstdint>

namespace qorlib {

constexpr std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

constexpr std::int64_t floor_mod(std::int64_t a, std::int64_t b) {
    return a - floor_div(a, b) * b;
}

struct Civil {
    std::int64_t year;
    int month;  // 1..12
    int day;    // 1..31
};

// Days since 1970-01-01 of a civil date.
constexpr std::int64_t days_from_civil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = floor_div(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146'097 + doe - 719'468;
}

constexpr Civil civil_from_days(std::int64_t z) {
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

constexpr bool is_leap(std::int64_t y) {
    return floor_mod(y, 4) == 0 && (floor_mod(y, 100) != 0 || floor_mod(y, 400) == 0);
}

constexpr int days_in_month(std::int64_t y, int m) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && is_leap(y) ? 29 : kDays[m - 1];
}

// 0 = Sunday .. 6 = Saturday, for days since 1970-01-01 (a Thursday).
constexpr int weekday(std::int64_t days) {
    return static_cast<int>(floor_mod(days + 4, 7));
}

}  // namespace qorlib
