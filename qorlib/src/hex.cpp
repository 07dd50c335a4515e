// Hexadecimal text: bytes, 16-bit and 32-bit integers, and whole numbers held in doubles.
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "internal.h"

namespace {

using qorlib::hex_digit_value;
constexpr const char *kDigits = qorlib::kHexDigits;

// `width` upper-case digits of the low bits of `value`, most significant first.
qor_text *fixed_hex(uint64_t value, int width) {
    char out[16];
    for (int i = width - 1; i >= 0; --i) {
        out[i] = kDigits[value & 0xF];
        value >>= 4;
    }
    return qorlib::make_text(std::string_view(out, static_cast<size_t>(width)));
}

// The unsigned value of at most `max_digits` leading hexadecimal digits, after blanks and
// an optional "0x" or "&H" prefix. Digits past `max_digits` are not read.
uint64_t leading_hex(std::string_view text, int max_digits) noexcept {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i + 1 < text.size()) {
        char a = text[i], b = text[i + 1];
        if ((a == '0' && (b == 'x' || b == 'X')) || (a == '&' && (b == 'h' || b == 'H')))
            i += 2;
    }
    uint64_t value = 0;
    for (int n = 0; n < max_digits && i < text.size(); ++n, ++i) {
        int d = hex_digit_value(text[i]);
        if (d < 0)
            break;
        value = (value << 4) | static_cast<uint64_t>(d);
    }
    return value;
}

// The two digits of every byte, in memory order (upper case).
constexpr std::array<uint16_t, 256> kHexPairs = [] {
    std::array<uint16_t, 256> pairs{};
    for (int b = 0; b < 256; ++b)
        pairs[b] = std::bit_cast<uint16_t>(std::array<char, 2>{kDigits[b >> 4], kDigits[b & 15]});
    return pairs;
}();

// A digit's value as the high (kHigh) or low (kLow) half of a byte; kNotHex for any other
// character, so that one test covers a whole group of pairs.
constexpr uint32_t kNotHex = 0x100;
constexpr std::array<uint32_t, 256> nibble_table(int shift) {
    std::array<uint32_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        int d = hex_digit_value(static_cast<char>(c));
        table[c] = d < 0 ? kNotHex : static_cast<uint32_t>(d) << shift;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kHigh = nibble_table(4), kLow = nibble_table(0);

}  // namespace

extern "C" QOR_API qor_text *StringToHex(const char *text) {
    std::string_view in = qorlib::arg(text);
    if (in.size() > QOR_TEXT_MAX / 2)
        return nullptr;
    qor_text *out = qorlib::new_text(2 * in.size());
    if (!out)
        return nullptr;
    const auto *p = reinterpret_cast<const unsigned char *>(in.data());
    char *to = out->data;
    size_t i = 0;
    // Blocks of a fixed size, digits computed rather than looked up: a loop compilers
    // turn into vector code at the usual optimisation levels.
    constexpr size_t kBlock = 32;
    for (; i + kBlock <= in.size(); i += kBlock, to += 2 * kBlock) {
        char digits[2 * kBlock];
        for (size_t k = 0; k < kBlock; ++k) {
            unsigned high = p[i + k] >> 4, low = p[i + k] & 15u;
            digits[2 * k] = static_cast<char>('0' + high + (high > 9 ? 7 : 0));
            digits[2 * k + 1] = static_cast<char>('0' + low + (low > 9 ? 7 : 0));
        }
        std::memcpy(to, digits, sizeof digits);
    }
    for (; i < in.size(); ++i, to += 2)
        std::memcpy(to, &kHexPairs[p[i]], 2);
    return out;
}

extern "C" QOR_API qor_text *HexToStr(const char *hex) {
    std::string_view in = qorlib::arg(hex);
    qor_text *out = qorlib::new_text(in.size() / 2);
    if (!out)
        return nullptr;
    const auto *p = reinterpret_cast<const unsigned char *>(in.data());
    char *to = out->data;
    size_t i = 0;
    // Four pairs at a time while all eight characters are digits.
    for (; i + 8 <= in.size(); i += 8, to += 4) {
        uint32_t b0 = kHigh[p[i]] | kLow[p[i + 1]], b1 = kHigh[p[i + 2]] | kLow[p[i + 3]];
        uint32_t b2 = kHigh[p[i + 4]] | kLow[p[i + 5]], b3 = kHigh[p[i + 6]] | kLow[p[i + 7]];
        if ((b0 | b1 | b2 | b3) & kNotHex)
            break;
        to[0] = static_cast<char>(b0);
        to[1] = static_cast<char>(b1);
        to[2] = static_cast<char>(b2);
        to[3] = static_cast<char>(b3);
    }
    for (; i + 1 < in.size(); i += 2, ++to) {
        uint32_t byte = kHigh[p[i]] | kLow[p[i + 1]];
        if (byte & kNotHex)
            break;
        *to = static_cast<char>(byte);
    }
    return qorlib::shrink_text(out, static_cast<size_t>(to - out->data));
}

extern "C" QOR_API qor_text *CharToHex(uint8_t value) {
    return fixed_hex(value, 2);
}

extern "C" QOR_API uint8_t HexToChar(const char *hex) {
    std::string_view in = qorlib::arg(hex);
    int value = 0;
    for (size_t i = 0; i < 2 && i < in.size(); ++i) {
        int d = hex_digit_value(in[i]);
        if (d < 0)
            break;
        value = value << 4 | d;
    }
    return static_cast<uint8_t>(value);
}

extern "C" QOR_API qor_text *IntToHex(int16_t value) {
    return fixed_hex(static_cast<uint16_t>(value), 4);
}

extern "C" QOR_API qor_text *LongToHex(double value) {
    if (!std::isfinite(value))
        return fixed_hex(0, 8);
    // Whole number first (halves away from zero), then modulo 2^32; fmod is exact, so
    // even values far beyond 64 bits keep their low 32 bits without any overflow.
    constexpr double kTwo32 = 4294967296.0;
    double low = std::fmod(std::round(value), kTwo32);
    if (low < 0)
        low += kTwo32;
    return fixed_hex(static_cast<uint32_t>(low), 8);
}

extern "C" QOR_API double HexToLong(const char *hex) {
    return static_cast<double>(leading_hex(qorlib::arg(hex), 8));
}

extern "C" QOR_API double HexToDouble(const char *hex) {
    return static_cast<double>(leading_hex(qorlib::arg(hex), 16));
}
