// IPToLong on any text and LongToIP on any double, against a piece-by-piece reading: one to
// four dot-separated parts of one to three decimal digits, each 0..255, missing trailing
// parts 0, a final "." allowed before the fourth part; anything else, a null text included,
// gives -1. LongToIP writes a whole number 0..4294967295 as four decimal parts and any other
// value as "". The argument is left as it was.
//
// Input: the text, a NUL, then eight bytes read as a double and as a whole number for
// LongToIP.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "ip_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const fuzz::Parts parts = fuzz::split(data, size, 1);
    const std::string &text = parts.texts[0];
    const auto read = reference::dotted_parts(text);
    const double expected = read ? reference::value_of(*read) : -1.0;

    std::string argument = text;
    FUZZ_REQUIRE(IPToLong(argument.c_str()) == expected);
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(IPToLong(nullptr) == -1.0);

    char bytes[8] = {};
    std::memcpy(bytes, parts.rest.data(), std::min<std::size_t>(parts.rest.size(), 8));
    double value;
    std::memcpy(&value, bytes, 8);
    const bool whole = value >= 0 && value <= 4294967295.0 && std::trunc(value) == value;
    FUZZ_REQUIRE(fuzz::take(LongToIP(value)) ==
                 (whole ? reference::dotted(static_cast<std::uint32_t>(value)) : ""));

    const auto number = static_cast<std::uint32_t>(fuzz::int32_from(parts.rest));
    const std::string written = fuzz::take(LongToIP(number));
    FUZZ_REQUIRE(written == reference::dotted(number));
    FUZZ_REQUIRE(IPToLong(written.c_str()) == number);
    FUZZ_REQUIRE(fuzz::take(LongToIP(number + 0.5)).empty());
    FUZZ_REQUIRE(fuzz::take(LongToIP(number + 4294967296.0)).empty());
    if (read)
        FUZZ_REQUIRE(fuzz::take(LongToIP(expected)) ==
                     reference::dotted(static_cast<std::uint32_t>(expected)));
    return 0;
}
