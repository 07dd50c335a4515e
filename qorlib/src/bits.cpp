// Packing of numbers written as text into half the bytes, and rotations by half a width.
#include <cstdint>
#include <string>

#include "internal.h"

namespace {

// Nibble codes. 0 is never used, so no packed byte is NUL and a packed text survives
// being passed on as a NUL-terminated text; 15 pads an odd count.
constexpr unsigned kPad = 15;
constexpr char kDecode[16] = {0,   '0', '1', '2', '3', '4', '5', '6',
                              '7', '8', '9', '.', '+', '-', 'E', 0};

// The code of one character of a number, or 0 when the character has none.
unsigned encode(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0') + 1;
    switch (c) {
        case '.':
            return 11;
        case '+':
            return 12;
        case '-':
            return 13;
        case 'E':
        case 'e':
            return 14;
        default:
            return 0;
    }
}

}  // namespace

extern "C" QOR_API qor_text *BitPack(const char *number, int32_t /*flags*/) {
    try {
        const std::string_view in = qorlib::arg(number);
        std::string out;
        out.reserve(in.size() / 2 + 1);
        for (size_t i = 0; i < in.size(); i += 2) {
            const unsigned high = encode(in[i]);
            const unsigned low = i + 1 < in.size() ? encode(in[i + 1]) : kPad;
            if (high == 0 || low == 0)
                return qorlib::make_text({});
            out += static_cast<char>((high << 4) | low);
        }
        return qorlib::make_text(out);
    } catch (...) {
        return nullptr;
    }
}

extern "C" QOR_API qor_text *BitUnPack(const char *packed, int32_t /*flags*/) {
    try {
        std::string out;
        for (char c : qorlib::arg(packed)) {
            const auto byte = static_cast<unsigned>(static_cast<unsigned char>(c));
            const unsigned nibbles[2] = {byte >> 4u, byte & 0x0Fu};
            for (unsigned code : nibbles) {
                if (code == 0 || code == kPad)
                    return qorlib::make_text(out);
                out += kDecode[code];
            }
        }
        return qorlib::make_text(out);
    } catch (...) {
        return nullptr;
    }
}

// The rotations work on the unsigned pattern, so every shift is defined for negatives.

extern "C" QOR_API int32_t RotateLong(int32_t *value) {
    if (!value)
        return 0;
    const auto bits = static_cast<uint32_t>(*value);
    return static_cast<int32_t>((bits << 16) | (bits >> 16));
}

extern "C" QOR_API int16_t RotateInt(int16_t *value) {
    if (!value)
        return 0;
    const auto bits = static_cast<uint16_t>(*value);
    return static_cast<int16_t>(static_cast<uint16_t>((bits << 8) | (bits >> 8)));
}

extern "C" QOR_API uint8_t RotateByte(uint8_t *value) {
    if (!value)
        return 0;
    const uint8_t bits = *value;
    return static_cast<uint8_t>((bits << 4) | (bits >> 4));
}
