// Helpers shared by the export families of qorlib145. Nothing here is exported.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "qorlib145.h"

namespace qorlib {

// A new text result holding `bytes`; nullptr when memory runs out or the text is too long.
qor_text *make_text(std::string_view bytes) noexcept;

// A new text result of `length` bytes for the caller to fill in place: the terminating NUL
// is set, the bytes before it are not. `slack` bytes beyond the NUL may be written too (wide
// stores near the end); whoever writes there terminates the text again. nullptr when memory
// runs out or the text is too long.
qor_text *new_text(size_t length, size_t slack = 0) noexcept;

// Ends a text made by new_text() after its first `length` bytes (at most its length) and
// gives the unused memory back when there is much of it. Returns the text, which may have
// moved; never nullptr.
qor_text *shrink_text(qor_text *text, size_t length) noexcept;

// Makes room in a text made by new_text() for `length` bytes, keeping those it holds.
// Returns the text, which may have moved; on failure releases it and returns nullptr.
qor_text *grow_text(qor_text *text, size_t length) noexcept;

// Eight bytes at a time, in plain C++. The eight bytes of `w` in reverse order:
constexpr uint64_t reverse_bytes(uint64_t w) noexcept {
    w = (w & 0x00FF00FF00FF00FFu) << 8 | (w >> 8 & 0x00FF00FF00FF00FFu);
    w = (w & 0x0000FFFF0000FFFFu) << 16 | (w >> 16 & 0x0000FFFF0000FFFFu);
    return w << 32 | w >> 32;
}

// Eight bytes from `p`, the one at the lowest address in the low bits, whatever the byte
// order, so that byte k of the text is bits 8k .. 8k + 7.
inline uint64_t load_le64(const void *p) noexcept {
    uint64_t w;
    std::memcpy(&w, p, 8);
    if constexpr (std::endian::native == std::endian::big)
        w = reverse_bytes(w);
    return w;
}

// The high bit of every zero byte of `x`, and no other bit (no carry crosses bytes).
constexpr uint64_t zero_bytes(uint64_t x) noexcept {
    constexpr uint64_t low7 = 0x7F7F7F7F7F7F7F7Fu;
    return ~(((x & low7) + low7) | x | low7);
}

// The position in memory of the first byte marked in `marks` (high bits, as zero_bytes()
// gives them) of a word read from memory with memcpy; `marks` must not be 0.
inline size_t first_marked_byte(uint64_t marks) noexcept {
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<size_t>(std::countr_zero(marks)) / 8;
    else
        return static_cast<size_t>(std::countl_zero(marks)) / 8;
}

// The high bit of every byte of `w` equal to `c`.
constexpr uint64_t bytes_equal(uint64_t w, unsigned char c) noexcept {
    return zero_bytes(w ^ (c * 0x0101010101010101u));
}

// The bytes of a by-value text argument up to its first NUL; a null pointer reads as "".
inline std::string_view arg(const char *text) noexcept {
    return text ? std::string_view(text) : std::string_view();
}

// The bytes of a by-reference text argument (all of them, NULs included); null reads as "".
inline std::string_view arg(const qor_text *text) noexcept {
    return text ? std::string_view(text->data, text->length) : std::string_view();
}

// Upper-case hexadecimal digits, by value.
inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// The value of a hexadecimal digit in either case, or -1.
constexpr int hex_digit_value(char c) noexcept {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// ASCII and Latin-1 letter folding to lower case, as one table: A-Z, and C0-DE but the
// multiplication sign D7, map to the byte 0x20 above; every other byte maps to itself.
inline constexpr std::array<unsigned char, 256> kFoldCase = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        bool upper = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
        table[c] = static_cast<unsigned char>(upper ? c + 32 : c);
    }
    return table;
}();

constexpr unsigned char fold_case(unsigned char c) noexcept {
    return kFoldCase[c];
}

// "*" matches any run of bytes, "?" exactly one; letters compare without regard to case.
bool wildcard_match(std::string_view pattern, std::string_view name) noexcept;

// Drive letters are the ASCII letters.
constexpr bool is_drive_letter(char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The drive a drive name such as "C", "c", "C:" or "C:\" (also "C:/") names, as its
// upper-case letter; nothing when the text is not such a name.
std::optional<char> drive_letter(std::string_view name);

#if !defined(_WIN32)
// The directory a drive letter maps to (QORLIB_DRIVES, else C is "/"); nothing for an
// unmapped letter or a byte that is not a letter. The result never ends in "/" unless it
// is the root itself.
std::optional<std::string> drive_root(char letter);

// Translates a drive path ("c:\boot.ini", "C:/temp/x.tmp") to a native path; a native
// path is returned as it is. Nothing when the drive is unmapped or the path is empty.
std::optional<std::string> native_path(std::string_view path);
#endif

}  // namespace qorlib
