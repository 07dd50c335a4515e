// Base64 with the standard alphabet and "=" padding, optionally broken into lines.
#include <array>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>

#include "internal.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> make_decode_table() {
    std::array<int8_t, 256> table{};
    for (auto &entry : table)
        entry = -1;
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
    return table;
}

constexpr std::array<int8_t, 256> kDecode = make_decode_table();

// The encoded size of `length` bytes with a CR LF after every `line` characters but the
// last line; 0 when it would exceed QOR_TEXT_MAX (a non-empty input never encodes to 0).
size_t encoded_size(size_t length, int32_t line) noexcept {
    if (length > QOR_TEXT_MAX)
        return 0;
    size_t chars = (length + 2) / 3 * 4;
    if (line > 0 && chars > 0)
        chars += 2 * ((chars - 1) / static_cast<size_t>(line));
    return chars > QOR_TEXT_MAX ? 0 : chars;
}

}  // namespace

extern "C" QOR_API qor_text *EncodeString64(qor_text **text, int32_t line_length) {
    std::string_view in = qorlib::arg(text ? *text : nullptr);
    if (in.empty())
        return qorlib::make_text({});
    size_t size = encoded_size(in.size(), line_length);
    if (size == 0)
        return nullptr;
    try {
        std::string out;
        out.reserve(size);
        size_t on_line = 0;
        auto put = [&](char c) {
            if (line_length > 0 && on_line == static_cast<size_t>(line_length)) {
                out += "\r\n";
                on_line = 0;
            }
            out += c;
            ++on_line;
        };
        size_t i = 0;
        for (; i + 3 <= in.size(); i += 3) {
            uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(in[i])) << 16 |
                             static_cast<uint32_t>(static_cast<unsigned char>(in[i + 1])) << 8 |
                             static_cast<unsigned char>(in[i + 2]);
            put(kAlphabet[group >> 18]);
            put(kAlphabet[group >> 12 & 63]);
            put(kAlphabet[group >> 6 & 63]);
            put(kAlphabet[group & 63]);
        }
        if (size_t rest = in.size() - i; rest > 0) {
            uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(in[i])) << 16;
            if (rest == 2)
                group |= static_cast<uint32_t>(static_cast<unsigned char>(in[i + 1])) << 8;
            put(kAlphabet[group >> 18]);
            put(kAlphabet[group >> 12 & 63]);
            put(rest == 2 ? kAlphabet[group >> 6 & 63] : '=');
            put('=');
        }
        return qorlib::make_text(out);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

extern "C" QOR_API qor_text *DecodeString64(qor_text **text, int32_t *count) {
    if (count)
        *count = 0;
    std::string_view in = qorlib::arg(text ? *text : nullptr);
    try {
        std::string out;
        out.reserve(in.size() / 4 * 3 + 3);
        uint32_t bits = 0;
        int pending = 0;  // bits held in `bits`, always below 8 between characters
        for (char c : in) {
            if (c == '=')
                break;
            int value = kDecode[static_cast<unsigned char>(c)];
            if (value < 0)
                continue;  // line breaks, blanks and foreign characters
            bits = (bits << 6 | static_cast<uint32_t>(value)) & 0x3FFF;
            pending += 6;
            if (pending >= 8) {
                pending -= 8;
                out += static_cast<char>(bits >> pending & 0xFF);
            }
        }
        qor_text *result = qorlib::make_text(out);
        // Texts are capped at 1 GiB, so the decoded count always fits.
        if (result && count)
            *count = static_cast<int32_t>(result->length);
        return result;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
