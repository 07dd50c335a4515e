// Cvi, Cvl, Cvf and Cvd on any text, and Mki, Mkl, Mkf and Mkd on values made of any eight
// bytes, against little-endian byte order written out: a Cv function reads the first 2, 4,
// 4 or 8 bytes of the text, every byte from its first NUL on and every missing byte as 0; an
// Mk function gives exactly the value's 2, 4, 4 or 8 bytes. Null texts read as 0, and the
// argument is left as it was.
//
// Input: the text up to its first NUL; the Mk values come from the input's first eight
// bytes, NULs included.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>

#include "fuzz_support.h"

namespace {

// The first `count` bytes of `bytes` (missing ones 0) as a little-endian number.
std::uint64_t little_endian(const std::string &bytes, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;)
        value = value * 256 + (i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u);
    return value;
}

// The low `count` bytes of `value`, least significant first.
std::string bytes_of(std::uint64_t value, std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i, value /= 256)
        bytes += static_cast<char>(value % 256);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string text = fuzz::split(data, size, 1).texts[0];
    std::string argument = text;
    const char *t = argument.c_str();
    FUZZ_REQUIRE(static_cast<std::uint16_t>(Cvi(t)) == little_endian(text, 2));
    FUZZ_REQUIRE(static_cast<std::uint32_t>(Cvl(t)) == little_endian(text, 4));
    FUZZ_REQUIRE(std::bit_cast<std::uint32_t>(Cvf(t)) == little_endian(text, 4));
    FUZZ_REQUIRE(std::bit_cast<std::uint64_t>(Cvd(t)) == little_endian(text, 8));
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(Cvi(nullptr) == 0 && Cvl(nullptr) == 0);
    FUZZ_REQUIRE(std::bit_cast<std::uint32_t>(Cvf(nullptr)) == 0);
    FUZZ_REQUIRE(std::bit_cast<std::uint64_t>(Cvd(nullptr)) == 0);

    const std::uint64_t bits =
        little_endian(std::string(data, data + std::min<std::size_t>(size, 8)), 8);
    const auto bits32 = static_cast<std::uint32_t>(bits);
    FUZZ_REQUIRE(fuzz::take(Mki(static_cast<std::int16_t>(bits))) == bytes_of(bits, 2));
    FUZZ_REQUIRE(fuzz::take(Mkl(static_cast<std::int32_t>(bits32))) == bytes_of(bits, 4));
    FUZZ_REQUIRE(fuzz::take(Mkf(std::bit_cast<float>(bits32))) == bytes_of(bits, 4));
    FUZZ_REQUIRE(fuzz::take(Mkd(std::bit_cast<double>(bits))) == bytes_of(bits, 8));
    return 0;
}
