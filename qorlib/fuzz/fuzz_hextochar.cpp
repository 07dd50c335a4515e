// HexToChar on any text: the value of the one or two hexadecimal digits (either case) it
// starts with, nothing skipped before them and no third digit read; 0 without a leading
// digit or for a null text; the argument left as it was. CharToHex of the input's first
// byte: its two upper-case digits, which HexToChar reads back in either case.
#include <cstdint>
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string text = fuzz::split(data, size, 1).texts[0];
    const int high = text.empty() ? -1 : fuzz::hex_value(text[0]);
    const int low = text.size() < 2 ? -1 : fuzz::hex_value(text[1]);
    const int expected = high < 0 ? 0 : low < 0 ? high : 16 * high + low;

    std::string argument = text;
    FUZZ_REQUIRE(HexToChar(argument.c_str()) == expected);
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(HexToChar(nullptr) == 0);

    const std::uint8_t value = size ? data[0] : 0;
    const std::string hex = fuzz::take(CharToHex(value));
    FUZZ_REQUIRE(hex == fuzz::hex_upper(std::string(1, static_cast<char>(value))));
    std::string lower = hex;
    for (char &c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'F' ? c + 32 : c);
    FUZZ_REQUIRE(HexToChar(hex.c_str()) == value && HexToChar(lower.c_str()) == value);
    return 0;
}
