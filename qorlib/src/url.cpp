// The form encoding of web pages: unreserved bytes stay, a blank is "+", the rest "%XX".
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

// What each byte becomes: up to three characters in memory order, and how many.
constexpr std::array<uint32_t, 256> kCodes = [] {
    std::array<uint32_t, 256> codes{};
    for (int c = 0; c < 256; ++c) {
        std::array<char, 4> chars{static_cast<char>(c)};
        if (c == ' ')
            chars[0] = '+';
        else if (!is_single(static_cast<unsigned char>(c)))
            chars = {'%', qorlib::kHexDigits[c >> 4], qorlib::kHexDigits[c & 15], 0};
        codes[c] = std::bit_cast<uint32_t>(chars);
    }
    return codes;
}();

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
    // Room for ordinary text, where few bytes need escaping. A text that needs more gets it
    // once, at its exact size. A long text is measured first instead: moving megabytes
    // already written costs more than one pass of table look-ups. Three spare bytes take
    // the unused part of the last four-byte store.
    bool exact = n >= (size_t{1} << 20);
    size_t capacity = n + n / 8 + 64;
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
            std::memcpy(to, &kCodes[p[i + k]], 4);
            to += kLengths[p[i + k]];
        }
    }
    if (!make_room(n - i))
        return nullptr;
    for (; i < n; ++i) {
        std::memcpy(to, &kCodes[p[i]], 4);
        to += kLengths[p[i]];
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
