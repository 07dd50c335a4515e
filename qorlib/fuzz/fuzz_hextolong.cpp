// HexToLong on any text: the unsigned value of at most 8 hexadecimal digits (either case)
// at its start, after blanks and one "0x", "0X", "&h" or "&H", digits beyond and everything
// from the first other byte ignored ("FFFFFFFF" is 4294967295); 0 without digits or for a
// null text. The argument is left as it was.
#include <cstdint>
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string text = fuzz::split(data, size, 1).texts[0];
    std::string argument = text;
    FUZZ_REQUIRE(HexToLong(argument.c_str()) == static_cast<double>(fuzz::leading_hex(text, 8)));
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(HexToLong(nullptr) == 0);
    return 0;
}
