// CommaStr on any text and Comma on any double, against a plain decimal reading: a number
// text (blanks around, a sign, digits with at most one ".") comes out grouped by threes,
// rounded half away from zero to the decimals asked (clamped to 0..15), never as "-0"; any
// other text comes back unchanged. Comma writes the shortest decimal text of its value
// that way. A null text gives "", and the argument is left as it was.
//
// Input: a decimals byte (signed), a byte whose bit 0 scales the decimals by 2^24 to reach
// the whole int32 range, then the text. Comma gets the first eight bytes of the text as a
// double, and the text read as a number when it is one, so that decimal halves come up.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "fuzz_support.h"

namespace {

// The digit string `digits` plus one, in decimal.
std::string increment(std::string digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return digits;
        }
        digits[i] = '0';
    }
    return "1" + digits;
}

// What CommaStr makes of `text`, or nothing when the text is no number.
std::optional<std::string> grouped(const std::string &text, std::int32_t decimals_asked) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    std::string core = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    const bool negative = core[0] == '-';
    if (core[0] == '-' || core[0] == '+')
        core.erase(0, 1);
    const std::size_t point = core.find('.');
    const std::string whole = core.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : core.substr(point + 1);
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    if ((whole + fraction).find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;

    const std::size_t decimals = static_cast<std::size_t>(std::clamp(decimals_asked, 0, 15));
    // The value times 10^decimals as one whole number, rounded on the first digit dropped.
    std::string scaled = whole + (fraction + std::string(decimals, '0')).substr(0, decimals);
    if (fraction.size() > decimals && fraction[decimals] >= '5')
        scaled = increment(scaled);
    if (scaled.size() < decimals + 1)
        scaled.insert(0, decimals + 1 - scaled.size(), '0');
    std::string units = scaled.substr(0, scaled.size() - decimals);
    units.erase(0, std::min(units.find_first_not_of('0'), units.size() - 1));
    for (std::size_t at = units.size(); at > 3; at -= 3)
        units.insert(at - 3, ",");

    const bool zero = scaled.find_first_not_of('0') == std::string::npos;
    std::string out = negative && !zero ? "-" + units : units;
    if (decimals > 0)
        out += "." + scaled.substr(scaled.size() - decimals);
    return out;
}

// The shortest decimal text that reads back as `value` (finite), written out without an
// exponent.
std::string shortest(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific);
    const std::string text(buffer, result.ptr);
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, e);
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const long exponent = std::strtol(text.c_str() + e + 1, nullptr, 10);
    std::string plain;
    if (exponent < 0)
        plain = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    else if (static_cast<std::size_t>(exponent) + 1 >= digits.size())
        plain = digits + std::string(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
    else
        plain = digits.substr(0, static_cast<std::size_t>(exponent) + 1) + "." +
                digits.substr(static_cast<std::size_t>(exponent) + 1);
    if (std::signbit(value))
        plain.insert(0, "-");
    FUZZ_REQUIRE(std::strtod(plain.c_str(), nullptr) == value);  // the reference itself
    return plain;
}

void check_comma(double value, std::int32_t decimals) {
    const std::string shown = fuzz::take(Comma(value, decimals));
    if (std::isnan(value))
        FUZZ_REQUIRE(shown == "NaN");
    else if (std::isinf(value))
        FUZZ_REQUIRE(shown == (value < 0 ? "-Infinity" : "Infinity"));
    else
        FUZZ_REQUIRE(shown == *grouped(shortest(value), decimals));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 2)
        return 0;
    std::int32_t decimals = static_cast<std::int8_t>(data[0]);
    if (data[1] & 1)
        decimals = static_cast<std::int32_t>(static_cast<std::uint32_t>(decimals) << 24);
    const fuzz::Parts parts = fuzz::split(data + 2, size - 2, 1);
    const std::string &text = parts.texts[0];

    std::string argument = text;
    const std::optional<std::string> expected = grouped(text, decimals);
    FUZZ_REQUIRE(fuzz::take(CommaStr(argument.c_str(), decimals)) == expected.value_or(text));
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(fuzz::take(CommaStr(nullptr, decimals)).empty());

    if (size - 2 >= 8) {
        double value;
        std::memcpy(&value, data + 2, sizeof value);
        check_comma(value, decimals);
    }
    if (expected)
        check_comma(std::strtod(text.c_str(), nullptr), decimals);
    return 0;
}
