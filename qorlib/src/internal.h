// Helpers shared by the export families of qorlib145. Nothing here is exported.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "qorlib145.h"

namespace qorlib {

// A new text result holding `bytes`; nullptr when memory runs out or the text is too long.
qor_text *make_text(std::string_view bytes) noexcept;

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

// ASCII and Latin-1 letter folding to lower case; other bytes are returned unchanged.
unsigned char fold_case(unsigned char c) noexcept;

// "*" matches any run of bytes, "?" exactly one; letters compare without regard to case.
bool wildcard_match(std::string_view pattern, std::string_view name) noexcept;

// The directory a drive letter maps to (QORLIB_DRIVES, else C is "/"); nothing for an
// unmapped letter or a byte that is not a letter. The result never ends in "/" unless it
// is the root itself.
std::optional<std::string> drive_root(char letter);

// The drive a drive name such as "C", "c", "C:" or "C:\" (also "C:/") names, as its
// mapped directory; nothing when the text is not such a name or the letter is unmapped.
std::optional<std::string> drive_from_name(std::string_view name);

// Translates a drive path ("c:\boot.ini", "C:/temp/x.tmp") to a native path; a native
// path is returned as it is. Nothing when the drive is unmapped or the path is empty.
std::optional<std::string> native_path(std::string_view path);

}  // namespace qorlib
