// HexToLong on any text: the unsigned value of at most 8 hexadecimal digits (either case)
// at its start, after blanks and one "0x", "0X", "&h" or "&H", digits beyond and everything
// from the first other byte ignored ("FFFFFFFF" is 4294967295); 0 without digits or for a
// null text. The argument is left as it was. Its twins: LongToHex writes a double rounded
// half away from zero, modulo 2^32, as eight upper-case digits ("00000000" for NaN and the
// infinities); IntToHex writes the 16 bits of its value as four; HexToLong reads both back.
//
// Input: the text, a NUL, then eight bytes read as a double and as a count of quarters
// (so that halves come up) for LongToHex; IntToHex gets the low 16 bits of the latter.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.h"

namespace {

std::uint32_t wrapped(double value) {
    if (!std::isfinite(value))
        return 0;
    const double low = std::fmod(std::round(value), 4294967296.0);  // exact
    return static_cast<std::uint32_t>(low < 0 ? low + 4294967296.0 : low);
}

// The low `digits` hexadecimal digits of `value`, upper case.
std::string hex_digits(std::uint32_t value, int digits) {
    std::string bytes;
    for (int shift = 4 * digits - 8; shift >= 0; shift -= 8)
        bytes += static_cast<char>(value >> shift & 255);
    return fuzz::hex_upper(bytes);
}

void check_long_to_hex(double value) {
    const std::string hex = fuzz::take(LongToHex(value));
    FUZZ_REQUIRE(hex == hex_digits(wrapped(value), 8));
    FUZZ_REQUIRE(HexToLong(hex.c_str()) == wrapped(value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const fuzz::Parts parts = fuzz::split(data, size, 1);
    const std::string &text = parts.texts[0];
    std::string argument = text;
    FUZZ_REQUIRE(HexToLong(argument.c_str()) == static_cast<double>(fuzz::leading_hex(text, 8)));
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(HexToLong(nullptr) == 0);

    char bytes[8] = {};
    std::memcpy(bytes, parts.rest.data(), std::min<std::size_t>(parts.rest.size(), 8));
    double value;
    std::memcpy(&value, bytes, sizeof value);
    std::int64_t quarters;
    std::memcpy(&quarters, bytes, sizeof quarters);
    check_long_to_hex(value);
    check_long_to_hex(static_cast<double>(quarters >> 12) / 4);

    const auto bits = static_cast<std::uint16_t>(quarters);
    const std::string hex = fuzz::take(IntToHex(static_cast<std::int16_t>(bits)));
    FUZZ_REQUIRE(hex == hex_digits(bits, 4));
    FUZZ_REQUIRE(HexToLong(hex.c_str()) == bits);
    return 0;
}
