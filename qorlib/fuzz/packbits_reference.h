// Slow, plain statements of the packed format for the fuzz targets to check the library
// against: written from the format and the header's promises, not from the library's code.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "qorlib145.h"

namespace reference {

// What packed bytes unpack to: a header n in 0..127 copies the next n + 1 bytes (those
// present, when the text ends first); -127..-1 repeats the next byte 1 - n times, and
// ends the text when that byte is missing; -128 does nothing.
inline std::string unpack(const uint8_t *p, size_t n) {
    std::string out;
    size_t i = 0;
    while (i < n) {
        const int header = p[i] < 128 ? p[i] : p[i] - 256;
        ++i;
        if (header >= 0) {
            for (int k = 0; k <= header && i < n; ++k)
                out += static_cast<char>(p[i++]);
        } else if (header != -128) {
            if (i == n)
                break;
            out.append(static_cast<size_t>(1 - header), static_cast<char>(p[i++]));
        }
    }
    return out;
}

// The packing the header promises for one block of input: a shortest coding, and among
// equally short ones, read from the start, the longest repeat run that is part of a
// shortest coding, else the longest literal run that is.
inline void pack_block(const uint8_t *s, size_t n, std::string &out) {
    // best[i]: the fewest bytes that code s[i..n), trying every unit that can start at i.
    std::vector<size_t> best(n + 1, SIZE_MAX);
    best[n] = 0;
    for (size_t i = n; i-- > 0;) {
        bool same = true;  // s[i..i+k) all equal
        for (size_t k = 1; k <= 128 && i + k <= n; ++k) {
            same = same && s[i + k - 1] == s[i];
            best[i] = std::min(best[i], 1 + k + best[i + k]);
            if (k >= 2 && same)
                best[i] = std::min(best[i], 2 + best[i + k]);
        }
    }
    for (size_t i = 0; i < n;) {
        size_t repeat = 0;
        for (size_t k = 2; k <= 128 && i + k <= n && s[i + k - 1] == s[i]; ++k)
            if (2 + best[i + k] == best[i])
                repeat = k;
        if (repeat) {
            out += static_cast<char>(1 - static_cast<int>(repeat));
            out += static_cast<char>(s[i]);
            i += repeat;
            continue;
        }
        size_t literal = 0;
        for (size_t k = 1; k <= 128 && i + k <= n; ++k)
            if (1 + k + best[i + k] == best[i])
                literal = k;
        out += static_cast<char>(literal - 1);
        out.append(reinterpret_cast<const char *>(s + i), literal);
        i += literal;
    }
}

// The whole packing: each 64 KiB of input on its own.
inline std::string pack(const uint8_t *s, size_t n) {
    std::string out;
    for (size_t start = 0; start < n; start += 65536)
        pack_block(s + start, std::min<size_t>(65536, n - start), out);
    return out;
}

// Whether `packed` is what RLECompress promises for the `n` bytes at `s`: the packing
// above, for texts of a few KB (the search tries 128 units at every byte, too slow to run
// on every long text a fuzzer makes), and for texts longer than a block, the packings of
// each block on its own, one after another.
inline bool is_packing_of(const uint8_t *s, size_t n, const qor_text *packed) {
    std::string expected;
    if (n <= 4096) {
        expected = pack(s, n);
    } else if (n > 65536) {
        for (size_t start = 0; start < n; start += 65536) {
            const auto size = static_cast<int32_t>(std::min<size_t>(65536, n - start));
            qor_text *block = RLECompress(reinterpret_cast<const char *>(s + start), size, nullptr);
            if (!block)
                return false;
            expected.append(block->data, block->length);
            qor_text_free(block);
        }
    } else {
        return true;
    }
    return expected.size() == packed->length &&
           std::equal(expected.begin(), expected.end(), packed->data);
}

}  // namespace reference
