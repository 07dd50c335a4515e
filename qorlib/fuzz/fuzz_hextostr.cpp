// HexToStr and StringToHex on any text, against a pair-by-pair reading: HexToStr turns each
// pair of hexadecimal digits (either case) into one byte, NUL included, and ends at the
// first other character or before an odd last digit; StringToHex writes every byte as two
// upper-case digits, which HexToStr reads back. Null texts give "", and arguments are left as
// they were.
//
// Input: a mode byte, two bytes of a position, a byte of junk, then the text. Mode bit 0
// replaces the text by its hexadecimal digits (bit 1: in lower case from the position on),
// so that long valid runs reach the four-pair steps; bit 2 then puts the junk byte at the
// position, bit 3 cuts the text there (odd lengths, a pair split).
#include <cstdint>
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 4)
        return 0;
    const std::uint8_t mode = data[0];
    std::string text = fuzz::split(data + 4, size - 4, 1).texts[0];
    if (mode & 1) {
        text = fuzz::hex_upper(text);
        const std::size_t at = static_cast<std::size_t>(data[1] << 8 | data[2]) % (text.size() + 1);
        if (mode & 2)
            for (std::size_t i = at; i < text.size(); ++i)
                text[i] = static_cast<char>(text[i] >= 'A' ? text[i] + 32 : text[i]);
        if ((mode & 4) && at < text.size())
            text[at] = static_cast<char>(data[3]);
        if (mode & 8)
            text.resize(at);
        text = text.substr(0, text.find('\0'));
    }

    std::string argument = text;
    FUZZ_REQUIRE(fuzz::take(HexToStr(argument.c_str())) == reference::hex_pairs(text));
    const std::string hex = fuzz::take(StringToHex(argument.c_str()));
    FUZZ_REQUIRE(hex == fuzz::hex_upper(text));
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(fuzz::take(HexToStr(hex.c_str())) == text);
    FUZZ_REQUIRE(fuzz::take(HexToStr(nullptr)).empty());
    FUZZ_REQUIRE(fuzz::take(StringToHex(nullptr)).empty());
    return 0;
}
