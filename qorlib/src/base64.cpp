// Base64 with the standard alphabet and "=" padding, optionally broken into lines.
// Encoding looks up two characters per 12 bits; decoding looks up each character in a table
// of its bits already shifted to their place among three bytes, so that a group of four
// costs four look-ups, three ORs and one store. Results are written once, in place.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "internal.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The two characters for every 12-bit value, in memory order.
constexpr std::array<uint16_t, 4096> kPairs = [] {
    std::array<uint16_t, 4096> pairs{};
    for (int v = 0; v < 4096; ++v)
        pairs[v] =
            std::bit_cast<uint16_t>(std::array<char, 2>{kAlphabet[v >> 6], kAlphabet[v & 63]});
    return pairs;
}();

// Four bytes in memory order as one word.
constexpr uint32_t bytes4(unsigned b0, unsigned b1, unsigned b2, unsigned b3) {
    return std::bit_cast<uint32_t>(
        std::array<uint8_t, 4>{static_cast<uint8_t>(b0), static_cast<uint8_t>(b1),
                               static_cast<uint8_t>(b2), static_cast<uint8_t>(b3)});
}

// Any character outside the alphabet sets the fourth byte, which decoded groups leave 0.
constexpr uint32_t kInvalid = bytes4(0, 0, 0, 0xFF);

// The six bits of character `c` placed as the position-th character of a group of four.
constexpr std::array<uint32_t, 256> decode_table(int position) {
    std::array<uint32_t, 256> table{};
    table.fill(kInvalid);
    for (unsigned v = 0; v < 64; ++v) {
        uint32_t bits = position == 0   ? bytes4(v << 2, 0, 0, 0)
                        : position == 1 ? bytes4(v >> 4, (v & 15) << 4, 0, 0)
                        : position == 2 ? bytes4(0, v >> 2, (v & 3) << 6, 0)
                                        : bytes4(0, 0, v, 0);
        table[static_cast<unsigned char>(kAlphabet[v])] = bits;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kDecode0 = decode_table(0), kDecode1 = decode_table(1),
                                    kDecode2 = decode_table(2), kDecode3 = decode_table(3);

// The value of a character of the alphabet, or -1.
constexpr std::array<int8_t, 256> kValue = [] {
    std::array<int8_t, 256> table{};
    table.fill(-1);
    for (int v = 0; v < 64; ++v)
        table[static_cast<unsigned char>(kAlphabet[v])] = static_cast<int8_t>(v);
    return table;
}();

inline void put2(char *out, uint16_t pair) noexcept {
    std::memcpy(out, &pair, 2);
}

// Eight bytes as a big-endian number: the first byte in the top bits.
inline uint64_t load_be64(const unsigned char *p) noexcept {
    uint64_t w;
    std::memcpy(&w, p, 8);
    if constexpr (std::endian::native == std::endian::little)
        w = qorlib::reverse_bytes(w);
    return w;
}

// 4 * groups characters for `groups` whole groups of three bytes.
void encode_groups(const unsigned char *in, size_t groups, char *out) noexcept {
    size_t g = 0;
    // Two groups per word of eight bytes, of which the last two belong to the next step.
    for (; g + 3 <= groups; g += 2, in += 6, out += 8) {
        uint64_t w = load_be64(in);
        put2(out, kPairs[w >> 52]);
        put2(out + 2, kPairs[w >> 40 & 0xFFF]);
        put2(out + 4, kPairs[w >> 28 & 0xFFF]);
        put2(out + 6, kPairs[w >> 16 & 0xFFF]);
    }
    for (; g < groups; ++g, in += 3, out += 4) {
        uint32_t v = uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
        put2(out, kPairs[v >> 12]);
        put2(out + 2, kPairs[v & 0xFFF]);
    }
}

// The characters of the last one or two bytes, with their padding.
void encode_tail(const unsigned char *in, size_t rest, char *out) noexcept {
    uint32_t v = uint32_t{in[0]} << 16 | (rest == 2 ? uint32_t{in[1]} << 8 : 0);
    out[0] = kAlphabet[v >> 18];
    out[1] = kAlphabet[v >> 12 & 63];
    out[2] = rest == 2 ? kAlphabet[v >> 6 & 63] : '=';
    out[3] = '=';
}

// Every character of the encoding of `in`, without line breaks.
void encode(const unsigned char *in, size_t n, char *out) noexcept {
    encode_groups(in, n / 3, out);
    if (n % 3)
        encode_tail(in + n / 3 * 3, n % 3, out + n / 3 * 4);
}

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

// The encoding broken into lines of `line` characters.
void encode_lines(const unsigned char *in, size_t n, size_t line, char *out) noexcept {
    if (line % 4 == 0) {
        // A line is whole groups: encode each straight into place.
        const size_t per_line = line / 4 * 3;
        for (; n > per_line; in += per_line, n -= per_line) {
            encode_groups(in, per_line / 3, out);
            out += line;
            *out++ = '\r';
            *out++ = '\n';
        }
        encode(in, n, out);
        return;
    }
    // Lines split groups: encode a block at a time on the side and deal it out in lines.
    constexpr size_t kBlock = 3 * 1024;
    char chars[kBlock / 3 * 4];
    size_t on_line = 0;
    for (size_t at = 0; at < n; at += kBlock) {
        size_t take = std::min(kBlock, n - at);
        encode(in + at, take, chars);
        std::string_view block(chars, (take + 2) / 3 * 4);
        while (!block.empty()) {
            if (on_line == line) {
                *out++ = '\r';
                *out++ = '\n';
                on_line = 0;
            }
            size_t part = std::min(line - on_line, block.size());
            std::memcpy(out, block.data(), part);
            out += part;
            on_line += part;
            block.remove_prefix(part);
        }
    }
}

}  // namespace

extern "C" QOR_API qor_text *EncodeString64(qor_text **text, int32_t line_length) {
    std::string_view in = qorlib::arg(text ? *text : nullptr);
    if (in.empty())
        return qorlib::make_text({});
    size_t size = encoded_size(in.size(), line_length);
    qor_text *out = size ? qorlib::new_text(size) : nullptr;
    if (!out)
        return nullptr;
    const auto *bytes = reinterpret_cast<const unsigned char *>(in.data());
    if (line_length > 0 && size > static_cast<size_t>(line_length))
        encode_lines(bytes, in.size(), static_cast<size_t>(line_length), out->data);
    else
        encode(bytes, in.size(), out->data);
    return out;
}

extern "C" QOR_API qor_text *DecodeString64(qor_text **text, int32_t *count) {
    if (count)
        *count = 0;
    std::string_view in = qorlib::arg(text ? *text : nullptr);
    // Every four characters give at most three bytes; the fourth byte of the last store
    // lands on the terminator at worst.
    qor_text *result = qorlib::new_text(in.size() / 4 * 3 + in.size() % 4);
    if (!result)
        return nullptr;
    const auto *p = reinterpret_cast<const unsigned char *>(in.data());
    const size_t n = in.size();
    char *out = result->data;
    size_t i = 0, j = 0;
    for (;;) {
        // Groups of four characters of the alphabet, decoded whole, two at a time first.
        for (; i + 8 <= n; i += 8, j += 6) {
            uint32_t a =
                kDecode0[p[i]] | kDecode1[p[i + 1]] | kDecode2[p[i + 2]] | kDecode3[p[i + 3]];
            uint32_t b =
                kDecode0[p[i + 4]] | kDecode1[p[i + 5]] | kDecode2[p[i + 6]] | kDecode3[p[i + 7]];
            if ((a | b) & kInvalid)
                break;
            std::memcpy(out + j, &a, 4);
            std::memcpy(out + j + 3, &b, 4);
        }
        for (; i + 4 <= n; i += 4, j += 3) {
            uint32_t group =
                kDecode0[p[i]] | kDecode1[p[i + 1]] | kDecode2[p[i + 2]] | kDecode3[p[i + 3]];
            if (group & kInvalid)
                break;
            std::memcpy(out + j, &group, 4);
        }
        // Otherwise one character at a time, skipping line breaks and other characters
        // outside the alphabet, until a group is complete again or the text ends.
        uint32_t bits = 0;
        int have = 0;
        bool end = true;
        while (i < n) {
            unsigned char c = p[i++];
            if (c == '=')
                break;
            int value = kValue[c];
            if (value < 0)
                continue;
            bits = bits << 6 | static_cast<uint32_t>(value);
            if (++have == 4) {
                end = false;
                break;
            }
        }
        if (!end) {
            out[j++] = static_cast<char>(bits >> 16);
            out[j++] = static_cast<char>(bits >> 8);
            out[j++] = static_cast<char>(bits);
            continue;
        }
        // Bits left over after the last whole byte are ignored.
        if (have >= 2)
            out[j++] = static_cast<char>(bits >> (have == 2 ? 4 : 10));
        if (have == 3)
            out[j++] = static_cast<char>(bits >> 2);
        break;
    }
    result = qorlib::shrink_text(result, j);
    // Texts are capped at 1 GiB, so the decoded count always fits.
    if (count)
        *count = static_cast<int32_t>(j);
    return result;
}
