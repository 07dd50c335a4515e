// Numbers: minimum, maximum, greatest common divisor, bases, and packing numbers into
// their little-endian bytes.
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "internal.h"

namespace {

// The little-endian bytes of `value`, `size` of them.
qor_text *packed(uint64_t value, size_t size) {
    char bytes[8];
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
    return qorlib::make_text(std::string_view(bytes, size));
}

// The little-endian value of the first `size` bytes of a by-value text. The text ends at
// its first NUL, so bytes from there on read as 0, exactly as the bytes of a missing tail.
uint64_t unpacked(const char *text, size_t size) noexcept {
    std::string_view in = qorlib::arg(text);
    uint64_t value = 0;
    for (size_t i = 0; i < size && i < in.size(); ++i)
        value |= static_cast<uint64_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    return value;
}

}  // namespace

extern "C" QOR_API int16_t Min(int16_t a, int16_t b) {
    return a < b ? a : b;
}

extern "C" QOR_API int16_t Max(int16_t a, int16_t b) {
    return a > b ? a : b;
}

extern "C" QOR_API int32_t Gcd(int32_t a, int32_t b) {
    // In 64 bits the magnitude of INT32_MIN is an ordinary number.
    uint64_t x = static_cast<uint64_t>(std::llabs(a)), y = static_cast<uint64_t>(std::llabs(b));
    while (y != 0) {
        uint64_t r = x % y;
        x = y;
        y = r;
    }
    // Only 2^31 does not fit; it is returned as INT32_MIN, its 32-bit pattern.
    return static_cast<int32_t>(static_cast<uint32_t>(x));
}

extern "C" QOR_API qor_text *BaseConv(int32_t value, int32_t base) {
    if (base < 2 || base > 36)
        return qorlib::make_text({});
    constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    uint64_t magnitude = static_cast<uint64_t>(std::llabs(value));
    char out[34];  // 32 binary digits and a sign at most
    size_t at = sizeof out;
    do {
        out[--at] = kDigits[magnitude % static_cast<uint64_t>(base)];
        magnitude /= static_cast<uint64_t>(base);
    } while (magnitude != 0);
    if (value < 0)
        out[--at] = '-';
    return qorlib::make_text(std::string_view(out + at, sizeof out - at));
}

extern "C" QOR_API int32_t BinToDec(const char *digits) {
    std::string_view in = qorlib::arg(digits);
    size_t i = 0;
    while (i < in.size() && (in[i] == ' ' || in[i] == '\t'))
        ++i;
    // Shifting an unsigned register keeps the low 32 bits of a longer number.
    uint32_t value = 0;
    for (; i < in.size() && (in[i] == '0' || in[i] == '1'); ++i)
        value = value << 1 | static_cast<uint32_t>(in[i] - '0');
    return static_cast<int32_t>(value);
}

extern "C" QOR_API qor_text *Mki(int16_t value) {
    return packed(static_cast<uint16_t>(value), 2);
}

extern "C" QOR_API int16_t Cvi(const char *bytes) {
    return static_cast<int16_t>(static_cast<uint16_t>(unpacked(bytes, 2)));
}

extern "C" QOR_API qor_text *Mkl(int32_t value) {
    return packed(static_cast<uint32_t>(value), 4);
}

extern "C" QOR_API int32_t Cvl(const char *bytes) {
    return static_cast<int32_t>(static_cast<uint32_t>(unpacked(bytes, 4)));
}

extern "C" QOR_API qor_text *Mkf(float value) {
    return packed(std::bit_cast<uint32_t>(value), 4);
}

extern "C" QOR_API float Cvf(const char *bytes) {
    return std::bit_cast<float>(static_cast<uint32_t>(unpacked(bytes, 4)));
}

extern "C" QOR_API qor_text *Mkd(double value) {
    return packed(std::bit_cast<uint64_t>(value), 8);
}

extern "C" QOR_API double Cvd(const char *bytes) {
    return std::bit_cast<double>(unpacked(bytes, 8));
}
