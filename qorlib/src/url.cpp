// The form encoding of web pages: unreserved bytes stay, a blank is "+", the rest "%XX".
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "internal.h"

namespace {

// A byte that stays one character: unreserved (letters, digits, "-", "_", ".", "~"), or the
// blank that becomes "+".
constexpr bool is_single(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == '~' || c == ' ';
}

// What each byte becomes: up to three characters in memory order, then how many in the
// fourth byte, so that one load gives both. The count lands in the output too, where the
// next byte's characters or the terminating NUL overwrite it.
constexpr std::array<uint32_t, 256> kCodes = [] {
    std::array<uint32_t, 256> codes{};
    for (int c = 0; c < 256; ++c) {
        std::array<char, 4> chars{static_cast<char>(c), 0, 0, 1};
        if (c == ' ')
            chars[0] = '+';
        else if (!is_single(static_cast<unsigned char>(c)))
            chars = {'%', qorlib::kHexDigits[c >> 4], qorlib::kHexDigits[c & 15], 3};
        codes[c] = std::bit_cast<uint32_t>(chars);
    }
    return codes;
}();

// The count of characters in a code.
constexpr size_t code_length(uint32_t code) {
    return std::endian::native == std::endian::little ? code >> 24 : code & 0xFF;
}

constexpr std::array<uint8_t, 256> kLengths = [] {
    std::array<uint8_t, 256> lengths{};
    for (int c = 0; c < 256; ++c)
        lengths[c] = is_single(static_cast<unsigned char>(c)) ? 1 : 3;
    return lengths;
}();

// Decodes the byte at `i` (a "+", a "%XX" or any other byte) to `to`; returns the next `i`.
inline size_t decode_one(std::string_view in, size_t i, char *to) noexcept {
    const char c = in[i];
    if (c == '+') {
        *to = ' ';
        return i + 1;
    }
    if (c == '%' && i + 2 < in.size()) {
        const int high = qorlib::hex_digit_value(in[i + 1]);
        const int low = qorlib::hex_digit_value(in[i + 2]);
        if (high >= 0 && low >= 0) {
            *to = static_cast<char>(high << 4 | low);
            return i + 3;
        }
    }
    // Anything else, including a "%" without two hex digits after it, stays as it is.
    *to = c;
    return i + 1;
}

}  // namespace

extern "C" QOR_API qor_text *URLEncode(const char *text) {
    const std::string_view in = qorlib::arg(text);
    const auto *p = reinterpret_cast<const unsigned char *>(in.data());
    const size_t n = in.size();
    if (n > QOR_TEXT_MAX)
        return nullptr;
    // Room for as many escapes as the first 64 bytes promise for the whole text, with an
    // eighth to spare: ordinary text gets little more than its length, data full of escapes
    // about what it needs, with no growing midway and no large part to give back (which
    // would cost fresh pages on the next call). A text that needs more than that gets it
    // once, at its exact size, as does a text whose room would pass the limit. Three spare
    // bytes take the unused part of the last four-byte store.
    const size_t sample = n < 64 ? n : 64;
    size_t escapes_in_sample = 0;
    for (size_t k = 0; k < sample; ++k)
        escapes_in_sample += kLengths[p[k]] >> 1;
    const size_t expected = n == 0 ? 0 : 2 * escapes_in_sample * n / sample;
    size_t capacity = n + std::min(2 * n, expected + expected / 8 + n / 8 + 64);
    bool exact = capacity + 3 > QOR_TEXT_MAX;
    if (exact) {
        capacity = 0;
        for (size_t k = 0; k < n; ++k)
            capacity += kLengths[p[k]];
    }
    qor_text *out = qorlib::new_text(capacity + 3);
    if (!out)
        return nullptr;
    char *to = out->data;
    size_t i = 0;
    auto make_room = [&](size_t bytes) {
        if (exact || capacity - static_cast<size_t>(to - out->data) >= 3 * bytes)
            return true;
        const size_t done = static_cast<size_t>(to - out->data);
        capacity = done;
        for (size_t k = i; k < n; ++k)
            capacity += kLengths[p[k]];
        out = qorlib::grow_text(out, capacity + 3);
        to = out ? out->data + done : nullptr;
        exact = true;
        return out != nullptr;
    };
    for (; i + 8 <= n; i += 8) {
        if (!make_room(8))
            return nullptr;
        // Eight bytes that all stay single characters are copied at once, blanks made "+".
        unsigned escapes = 0;
        for (size_t k = 0; k < 8; ++k)
            escapes |= kLengths[p[i + k]];
        if (escapes == 1) {
            uint64_t w;
            std::memcpy(&w, p + i, 8);
            w += (qorlib::bytes_equal(w, ' ') >> 7) * ('+' - ' ');
            std::memcpy(to, &w, 8);
            to += 8;
            continue;
        }
        for (size_t k = 0; k < 8; ++k) {
            const uint32_t code = kCodes[p[i + k]];
            std::memcpy(to, &code, 4);
            to += code_length(code);
        }
    }
    if (!make_room(n - i))
        return nullptr;
    for (; i < n; ++i) {
        const uint32_t code = kCodes[p[i]];
        std::memcpy(to, &code, 4);
        to += code_length(code);
    }
    return qorlib::shrink_text(out, static_cast<size_t>(to - out->data));
}

extern "C" QOR_API qor_text *URLDecode(const char *text) {
    const std::string_view in = qorlib::arg(text);
    qor_text *out = qorlib::new_text(in.size());
    if (!out)
        return nullptr;
    char *to = out->data;
    size_t i = 0;
    // Eight bytes at a time, "+" made a blank in place, up to the first "%" among them.
    while (i + 8 <= in.size()) {
        uint64_t w;
        std::memcpy(&w, in.data() + i, 8);
        const uint64_t escape = qorlib::bytes_equal(w, '%');
        w -= (qorlib::bytes_equal(w, '+') >> 7) * ('+' - ' ');
        std::memcpy(to, &w, 8);
        if (!escape) {
            i += 8;
            to += 8;
            continue;
        }
        const size_t plain = qorlib::first_marked_byte(escape);
        to += plain;
        i = decode_one(in, i + plain, to++);
    }
    while (i < in.size())
        i = decode_one(in, i, to++);
    return qorlib::shrink_text(out, static_cast<size_t>(to - out->data));
}
