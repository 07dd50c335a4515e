// Helpers of the fuzz targets: reporting a broken promise, splitting an input into texts,
// and taking a text result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

// ASCII and Latin-1 letters to lower case (Latin-1 capitals are C0..DE but for D7, x).
inline unsigned char fold(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 32);
    return c;
}

inline std::string folded(std::string text) {
    for (char &c : text)
        c = static_cast<char>(fold(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace fuzz
