// Hexadecimal text: bytes, 16-bit and 32-bit integers, and whole numbers held in doubles.
#include <cmath>
#include <cstdint>
#include <new>
#include <string>
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

}  // namespace

extern "C" QOR_API qor_text *StringToHex(const char *text) {
    std::string_view in = qorlib::arg(text);
    if (in.size() > QOR_TEXT_MAX / 2)
        return nullptr;
    try {
        std::string out(in.size() * 2, '\0');
        for (size_t i = 0; i < in.size(); ++i) {
            auto byte = static_cast<unsigned char>(in[i]);
            out[2 * i] = kDigits[byte >> 4];
            out[2 * i + 1] = kDigits[byte & 0xF];
        }
        return qorlib::make_text(out);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

extern "C" QOR_API qor_text *HexToStr(const char *hex) {
    std::string_view in = qorlib::arg(hex);
    try {
        std::string out;
        out.reserve(in.size() / 2);
        for (size_t i = 0; i + 1 < in.size(); i += 2) {
            int high = hex_digit_value(in[i]), low = hex_digit_value(in[i + 1]);
            if (high < 0 || low < 0)
                break;
            out += static_cast<char>(high << 4 | low);
        }
        return qorlib::make_text(out);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
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
