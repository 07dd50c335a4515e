// Helpers of the fuzz targets: reporting a broken promise, splitting an input into texts,
// taking a text result, and plain statements of hexadecimal digits, letter case and
// wildcards to check the library against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "codec_reference.h"
#include "qorlib145.h"

// Ends the run with the promise that failed; libFuzzer keeps the input as a reproducer.
#define FUZZ_REQUIRE(condition) \
    ((condition) ? (void)0 : fuzz::broken(#condition, __FILE__, __LINE__))

namespace fuzz {

[[noreturn]] inline void broken(const char *promise, const char *file, int line) {
    std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, promise);
    std::abort();
}

// The first `count` NUL-separated parts of an input, missing ones empty, and whatever
// follows them. A text passed by value ends at its first NUL, so NUL is the one byte that
// can separate texts.
struct Parts {
    std::vector<std::string> texts;
    std::string rest;
};

inline Parts split(const std::uint8_t *data, std::size_t size, std::size_t count) {
    Parts parts;
    const char *at = reinterpret_cast<const char *>(data);
    const char *end = at + size;
    for (std::size_t i = 0; i < count; ++i) {
        const void *nul =
            at < end ? std::memchr(at, '\0', static_cast<std::size_t>(end - at)) : nullptr;
        const char *stop = nul ? static_cast<const char *>(nul) : end;
        parts.texts.emplace_back(at, stop);
        at = nul ? stop + 1 : end;
    }
    parts.rest.assign(at, end);
    return parts;
}

// A little-endian integer from the first bytes of `bytes`, missing ones 0.
inline std::int32_t int32_from(const std::string &bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return static_cast<std::int32_t>(value);
}

// The bytes of a text result, released afterwards. Every result is non-null (memory does
// not run out here) and has a NUL after its last byte.
inline std::string take(qor_text *text) {
    FUZZ_REQUIRE(text != nullptr);
    FUZZ_REQUIRE(text->data != nullptr && text->data[text->length] == '\0');
    std::string bytes(text->data, text->length);
    qor_text_free(text);
    return bytes;
}

using reference::fold;

inline std::string folded(std::string text) {
    for (char &c : text)
        c = static_cast<char>(fold(static_cast<unsigned char>(c)));
    return text;
}

// `unit` repeated `times` times, as often as fits in `cap` bytes (a unit longer than that is
// cut), so that a short input can stand for a long periodic text.
inline std::string repeated(const std::string &unit, std::size_t times, std::size_t cap) {
    std::string out;
    for (std::size_t i = 0; i < times && out.size() + unit.size() <= cap; ++i)
        out += unit;
    return out.empty() ? unit.substr(0, cap) : out;
}

// Hexadecimal digits, as the plain coders read and write them.
using reference::hex_upper;
using reference::hex_value;

// The unsigned value of at most `most` hexadecimal digits at the start of `text`, after
// blanks (space, tab) and one "0x", "0X", "&h" or "&H"; 0 without digits.
inline std::uint64_t leading_hex(const std::string &text, std::size_t most) {
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos)
        return 0;
    for (const char *prefix : {"0x", "0X", "&h", "&H"})
        if (text.compare(at, 2, prefix) == 0) {
            at += 2;
            break;
        }
    std::uint64_t value = 0;
    for (std::size_t n = 0; n < most && at + n < text.size() && hex_value(text[at + n]) >= 0; ++n)
        value = 16 * value + static_cast<std::uint64_t>(hex_value(text[at + n]));
    return value;
}

// "*" any run of bytes, "?" one byte, letters without regard to case: whether each
// prefix of the pattern matches each prefix of the name, row by row.
inline bool wildcard(const std::string &pattern, const std::string &name) {
    std::vector<char> row(name.size() + 1, 0), next(name.size() + 1);
    row[0] = 1;
    for (const char p : pattern) {
        next[0] = p == '*' && row[0];
        for (std::size_t j = 1; j <= name.size(); ++j) {
            if (p == '*')
                next[j] = row[j] || next[j - 1];
            else
                next[j] =
                    row[j - 1] && (p == '?' || fold(static_cast<unsigned char>(p)) ==
                                                   fold(static_cast<unsigned char>(name[j - 1])));
        }
        row.swap(next);
    }
    return row[name.size()];
}

}  // namespace fuzz
