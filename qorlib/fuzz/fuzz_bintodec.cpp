// BinToDec on any text (up to its first NUL): the run of binary digits after leading blanks
// (space, tab), of which only the last 32 count, read as a two's-complement int32_t; a null
// text reads as empty, and the argument is left as it was.
#include <algorithm>
#include <bitset>
#include <cstdint>
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string text = fuzz::split(data, size, 1).texts[0];
    const std::size_t start = std::min(text.find_first_not_of(" \t"), text.size());
    const std::size_t stop = std::min(text.find_first_not_of("01", start), text.size());
    const std::size_t last32 = std::max(start, stop >= 32 ? stop - 32 : 0);
    const auto expected =
        static_cast<std::uint32_t>(std::bitset<32>(text.substr(last32, stop - last32)).to_ulong());

    std::string argument = text;
    FUZZ_REQUIRE(BinToDec(argument.c_str()) == static_cast<std::int32_t>(expected));
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(BinToDec(nullptr) == 0);
    return 0;
}
