// HexToDate on any text and DateToHex on any eight bytes, against the byte order written
// out: a text of exactly 16 hexadecimal digits (either case) is the double's bytes in
// little-endian order, high digit first, taken bit for bit; any other text, a null one
// included, gives +0. DateToHex writes the bytes of every double, NaN included, as 16
// upper-case digits, which HexToDate reads back bit for bit. The argument is left as it was.
//
// Input: a mode byte, then the text. Mode bit 0 turns every text byte into a hexadecimal
// digit of either case, bit 1 then keeps only the first 16, so that valid texts are common.
// DateToHex gets the first eight text bytes as they came.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_support.h"

namespace {

std::optional<std::uint64_t> bits_of(const std::string &hex) {
    if (hex.size() != 16)
        return std::nullopt;
    std::uint64_t bits = 0;
    for (std::size_t byte = 0; byte < 8; ++byte) {
        const int high = fuzz::hex_value(hex[2 * byte]), low = fuzz::hex_value(hex[2 * byte + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bits |= static_cast<std::uint64_t>(16 * high + low) << (8 * byte);
    }
    return bits;
}

std::string hex_of(std::uint64_t bits) {
    std::string bytes;
    for (int byte = 0; byte < 8; ++byte)
        bytes += static_cast<char>(bits >> (8 * byte));
    return fuzz::hex_upper(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::string raw(data + 1, data + size);
    std::string text = raw;
    if (data[0] & 1) {
        for (char &c : text)
            c = "0123456789abcdefABCDEF"[static_cast<unsigned char>(c) % 22];
        if (data[0] & 2)
            text.resize(std::min<std::size_t>(text.size(), 16));
    }
    text =
        fuzz::split(reinterpret_cast<const std::uint8_t *>(text.data()), text.size(), 1).texts[0];

    std::string argument = text;
    FUZZ_REQUIRE(std::bit_cast<std::uint64_t>(HexToDate(argument.c_str())) ==
                 bits_of(text).value_or(0));
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(std::bit_cast<std::uint64_t>(HexToDate(nullptr)) == 0);

    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 8 && i < raw.size(); ++i)
        bits |= static_cast<std::uint64_t>(static_cast<unsigned char>(raw[i])) << (8 * i);
    const std::string hex = fuzz::take(DateToHex(std::bit_cast<double>(bits)));
    FUZZ_REQUIRE(hex == hex_of(bits));
    FUZZ_REQUIRE(std::bit_cast<std::uint64_t>(HexToDate(hex.c_str())) == bits);
    return 0;
}
