// Run-length compression in the byte-oriented PackBits format.
//
// A packed text is a series of runs, each opening with a header byte n read as signed:
//   0..127     n + 1 literal bytes follow;
//   -127..-1   the next byte stands for 1 - n copies of itself (2..128);
//   -128       no operation.
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "internal.h"

namespace {

constexpr size_t MAX_RUN = 128;
// The encoder plans this many input bytes at a time, so its working memory stays small
// however long the text; a run crossing a block edge costs at most one extra header.
constexpr size_t BLOCK = 65536;

// Appends the shortest PackBits coding of `n` bytes at `s` to `out`.
//
// best[i] is the length of the shortest coding of s[i..n). Working from the end, each
// position takes the cheaper of a repeat run (2 bytes for up to 128 equal bytes) and a
// literal run (1 + k bytes for k bytes). Dropping the first byte of a text never makes
// its coding longer, so the best repeat is always the longest one; the best literal run
// is the minimum of best[j] + j over the next 128 ends j, kept in a monotone queue. Among
// equal codings the encoder prefers a repeat, then the longest literal run.
void encode_block(const unsigned char *s, size_t n, std::string &out,
                  std::vector<std::uint32_t> &best, std::vector<std::int16_t> &choice) {
    best.assign(n + 1, 0);
    choice.assign(n, 0);
    // Literal-run ends j by value best[j] + j; the oldest (largest j) sits at `head`.
    std::uint32_t queue[256];
    unsigned head = 0, tail = 0;  // ring indices; the queue holds queue[head..tail)
    size_t run = 0;               // length of the run of equal bytes starting at i
    for (size_t i = n; i-- > 0;) {
        run = (i + 1 < n && s[i] == s[i + 1]) ? (run < MAX_RUN ? run + 1 : MAX_RUN) : 1;

        const auto j_new = static_cast<std::uint32_t>(i + 1);
        const std::uint32_t v_new = best[j_new] + j_new;
        while (tail != head && best[queue[(tail - 1) & 255]] + queue[(tail - 1) & 255] > v_new)
            tail = (tail - 1) & 255;
        queue[tail++ & 255] = j_new;
        tail &= 255;
        if (queue[head] > i + MAX_RUN)
            head = (head + 1) & 255;

        const std::uint32_t j = queue[head];
        const std::uint32_t literal = best[j] + static_cast<std::uint32_t>(j - i) + 1;
        if (run >= 2 && 2 + best[i + run] <= literal) {
            best[i] = 2 + best[i + run];
            choice[i] = static_cast<std::int16_t>(-static_cast<std::int16_t>(run));
        } else {
            best[i] = literal;
            choice[i] = static_cast<std::int16_t>(j - i);
        }
    }
    for (size_t i = 0; i < n;) {
        const int count = choice[i];
        if (count > 0) {
            out += static_cast<char>(count - 1);
            out.append(reinterpret_cast<const char *>(s + i), static_cast<size_t>(count));
            i += static_cast<size_t>(count);
        } else {
            out += static_cast<char>(static_cast<std::int8_t>(1 + count));
            out += static_cast<char>(s[i]);
            i += static_cast<size_t>(-count);
        }
    }
}

// The size the packed bytes unpack to, stopping early once it passes `limit`.
size_t unpacked_size(const unsigned char *p, size_t n, size_t limit) {
    size_t size = 0;
    for (size_t i = 0; i < n && size <= limit;) {
        const auto header = static_cast<std::int8_t>(p[i++]);
        if (header >= 0) {
            const size_t count = static_cast<size_t>(header) + 1;
            const size_t present = count < n - i ? count : n - i;
            size += present;
            i += present;
        } else if (header != -128) {
            if (i == n)
                break;  // a repeat header without its byte
            size += static_cast<size_t>(1 - header);
            ++i;
        }
    }
    return size;
}

// Writes what the packed bytes unpack to; `out` holds unpacked_size() bytes.
void unpack(const unsigned char *p, size_t n, char *out) {
    for (size_t i = 0; i < n;) {
        const auto header = static_cast<std::int8_t>(p[i++]);
        if (header >= 0) {
            const size_t count = static_cast<size_t>(header) + 1;
            const size_t present = count < n - i ? count : n - i;
            std::memcpy(out, p + i, present);
            out += present;
            i += present;
        } else if (header != -128) {
            if (i == n)
                break;
            const size_t count = static_cast<size_t>(1 - header);
            std::memset(out, p[i++], count);
            out += count;
        }
    }
}

void set_length(int32_t *length, size_t value) {
    if (length)
        *length = static_cast<int32_t>(value);
}

}  // namespace

extern "C" QOR_API qor_text *RLECompress(const char *text, int32_t length, int32_t *packed_length) {
    set_length(packed_length, 0);
    if (!text || length <= 0)
        return qorlib::make_text({});
    try {
        const auto *s = reinterpret_cast<const unsigned char *>(text);
        const auto n = static_cast<size_t>(length);
        std::string out;
        out.reserve(n + (n + MAX_RUN - 1) / MAX_RUN);
        std::vector<std::uint32_t> best;
        std::vector<std::int16_t> choice;
        for (size_t start = 0; start < n; start += BLOCK) {
            encode_block(s + start, n - start < BLOCK ? n - start : BLOCK, out, best, choice);
            if (out.size() > QOR_TEXT_MAX)
                return nullptr;
        }
        qor_text *result = qorlib::make_text(out);
        if (result)
            set_length(packed_length, out.size());
        return result;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

extern "C" QOR_API qor_text *RLEUncompress(const char *packed, int32_t *packed_length) {
    if (!packed_length)
        return qorlib::make_text({});
    const int32_t length = *packed_length;
    set_length(packed_length, 0);
    if (!packed || length <= 0)
        return qorlib::make_text({});
    const auto *p = reinterpret_cast<const unsigned char *>(packed);
    const auto n = static_cast<size_t>(length);
    const size_t size = unpacked_size(p, n, QOR_TEXT_MAX);
    if (size > QOR_TEXT_MAX)
        return nullptr;
    qor_text *result = qor_text_new(nullptr, size);
    if (!result)
        return nullptr;
    unpack(p, n, result->data);
    set_length(packed_length, size);
    return result;
}
