// HexToDouble on any text: the unsigned value of at most 16 hexadecimal digits (either
// case) at its start, after blanks and one "0x", "0X", "&h" or "&H", digits beyond and
// everything from the first other byte ignored, as the double nearest to it; 0 without
// digits or for a null text. The argument is left as it was.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz_support.h"

namespace {

// The double nearest to `value`, a tie going to the even significand, rounded by hand.
double nearest(std::uint64_t value) {
    const int drop = std::max(0, 64 - std::countl_zero(value) - 53);
    if (drop == 0)
        return static_cast<double>(value);  // exact
    std::uint64_t kept = value >> drop;
    const std::uint64_t rest = value & ((std::uint64_t{1} << drop) - 1);
    const std::uint64_t half = std::uint64_t{1} << (drop - 1);
    if (rest > half || (rest == half && (kept & 1)))
        ++kept;
    return std::ldexp(static_cast<double>(kept), drop);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string text = fuzz::split(data, size, 1).texts[0];
    std::string argument = text;
    FUZZ_REQUIRE(HexToDouble(argument.c_str()) == nearest(fuzz::leading_hex(text, 16)));
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(HexToDouble(nullptr) == 0);
    return 0;
}
