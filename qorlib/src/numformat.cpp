// Number formatting: thousands grouping with rounded decimals, and English ordinals.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>
#include <system_error>

#include "internal.h"

namespace {

constexpr int kMaxDecimals = 15;

int clamp_decimals(int32_t decimals) {
    return decimals < 0 ? 0 : decimals > kMaxDecimals ? kMaxDecimals : decimals;
}

bool all_digits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Formats the exact decimal number [-]whole.fraction (digit strings, either may be empty)
// with `decimals` places, rounding half away from zero, and groups the whole part by
// threes. A result that rounds to zero carries no "-".
std::string format_decimal(bool negative, std::string_view whole_in, std::string_view fraction_in,
                           int decimals) {
    while (!whole_in.empty() && whole_in.front() == '0')
        whole_in.remove_prefix(1);
    std::string whole(whole_in);
    std::string fraction(fraction_in);
    if (fraction.size() > static_cast<std::size_t>(decimals)) {
        // Only the first dropped digit decides: 5 or more is at least half a unit.
        const bool up = fraction[decimals] >= '5';
        fraction.resize(decimals);
        if (up) {
            bool carry = true;
            for (auto it = fraction.rbegin(); carry && it != fraction.rend(); ++it) {
                if (*it == '9') {
                    *it = '0';
                } else {
                    ++*it;
                    carry = false;
                }
            }
            for (auto it = whole.rbegin(); carry && it != whole.rend(); ++it) {
                if (*it == '9') {
                    *it = '0';
                } else {
                    ++*it;
                    carry = false;
                }
            }
            if (carry)
                whole.insert(whole.begin(), '1');
        }
    } else {
        fraction.append(decimals - fraction.size(), '0');
    }
    if (whole.empty())
        whole.push_back('0');
    const bool zero = whole.find_first_not_of('0') == std::string::npos &&
                      fraction.find_first_not_of('0') == std::string::npos;

    std::string out;
    out.reserve(whole.size() + whole.size() / 3 + fraction.size() + 2);
    if (negative && !zero)
        out += '-';
    const std::size_t lead = whole.size() % 3 == 0 ? 3 : whole.size() % 3;
    out.append(whole, 0, lead);
    for (std::size_t i = lead; i < whole.size(); i += 3) {
        out += ',';
        out.append(whole, i, 3);
    }
    if (decimals > 0) {
        out += '.';
        out += fraction;
    }
    return out;
}

// The shortest decimal text that reads back as `value` (a finite double), as whole and
// fraction digits.
std::string format_double(double value, int decimals) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                            std::chars_format::scientific);
    if (error != std::errc())
        return {};
    // "d.ddde+XX": the significant digits and the power of ten of the first one.
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
        if (c != '.')
            digits += c;
    const int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
    const long point = static_cast<long>(exponent) + 1;  // digits before the decimal point
    std::string whole, fraction;
    if (point <= 0) {
        fraction = std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (static_cast<std::size_t>(point) >= digits.size()) {
        whole = digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<std::size_t>(point));
        fraction = digits.substr(static_cast<std::size_t>(point));
    }
    return format_decimal(std::signbit(value), whole, fraction, decimals);
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

extern "C" QOR_API qor_text *CommaStr(const char *number, int32_t decimals) {
    const std::string_view original = qorlib::arg(number);
    std::string_view text = original;
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.size() + fraction.size() == 0 || !all_digits(whole) || !all_digits(fraction))
        return qorlib::make_text(original);  // not a number: handed back as it came
    try {
        return qorlib::make_text(
            format_decimal(negative, whole, fraction, clamp_decimals(decimals)));
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

extern "C" QOR_API qor_text *Comma(double value, int32_t decimals) {
    if (std::isnan(value))
        return qorlib::make_text("NaN");
    if (std::isinf(value))
        return qorlib::make_text(value < 0 ? "-Infinity" : "Infinity");
    try {
        return qorlib::make_text(format_double(value, clamp_decimals(decimals)));
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

extern "C" QOR_API qor_text *NumOrd(int16_t value) {
    const int magnitude = std::abs(static_cast<int>(value));
    const int tens = magnitude % 100;
    if (tens >= 11 && tens <= 13)
        return qorlib::make_text("th");
    switch (magnitude % 10) {
        case 1:
            return qorlib::make_text("st");
        case 2:
            return qorlib::make_text("nd");
        case 3:
            return qorlib::make_text("rd");
        default:
            return qorlib::make_text("th");
    }
}
