// BinToDec on any text (up to its first NUL): the run of binary digits after leading blanks
// (space, tab), of which only the last 32 count, read as a two's-complement int32_t; a null
// text reads as empty, and the argument is left as it was. Its twin BaseConv writes any
// int32_t in bases 2 to 36 (digits 0-9 then A-Z, "-" before a negative value) and gives ""
// for any other base; BinToDec reads base 2 back.
//
// Input: the text, a NUL, then four bytes of a value and a byte of base (signed).
#include <algorithm>
#include <bitset>
#include <cstdint>
#include <string>

#include "fuzz_support.h"

namespace {

std::string written(std::int32_t value, std::int32_t base) {
    if (base < 2 || base > 36)
        return "";
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    // The magnitude as unsigned, which also holds that of -2^31.
    std::uint32_t rest =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    std::string text;
    do {
        text.insert(text.begin(), digits[rest % static_cast<std::uint32_t>(base)]);
        rest /= static_cast<std::uint32_t>(base);
    } while (rest);
    return value < 0 ? "-" + text : text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const fuzz::Parts parts = fuzz::split(data, size, 1);
    const std::string &text = parts.texts[0];
    const std::size_t start = std::min(text.find_first_not_of(" \t"), text.size());
    const std::size_t stop = std::min(text.find_first_not_of("01", start), text.size());
    const std::size_t last32 = std::max(start, stop >= 32 ? stop - 32 : 0);
    const auto expected =
        static_cast<std::uint32_t>(std::bitset<32>(text.substr(last32, stop - last32)).to_ulong());

    std::string argument = text;
    FUZZ_REQUIRE(BinToDec(argument.c_str()) == static_cast<std::int32_t>(expected));
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(BinToDec(nullptr) == 0);

    const std::int32_t value = fuzz::int32_from(parts.rest);
    const std::int32_t base = parts.rest.size() > 4 ? static_cast<std::int8_t>(parts.rest[4]) : 2;
    FUZZ_REQUIRE(fuzz::take(BaseConv(value, base)) == written(value, base));
    const std::string binary = fuzz::take(BaseConv(value, 2));
    if (value >= 0)
        FUZZ_REQUIRE(BinToDec(binary.c_str()) == value);
    return 0;
}
