// A library whose answers make the sections' plumbing visible: its text functions write
// into the buffers they are given (so tests see which variables the rig copies back), and
// BinToDec answers what FAKE_BINTODEC says (so tests can push a byte conversion over).
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "qorlib145.h"

namespace {

qor_text *copyOf(const char *text) {
    return qor_text_new(text, text ? std::strlen(text) : 0);
}

}  // namespace

// Reverses the buffer in place and returns what it then holds.
extern "C" QOR_API qor_text *StrRev(const char *text) {
    if (!text)
        return copyOf(text);
    char *buffer = const_cast<char *>(text);
    std::reverse(buffer, buffer + std::strlen(buffer));
    return copyOf(buffer);
}

// Upper-cases the buffer in place and returns 7.
extern "C" QOR_API int32_t InChr(const char *text, int16_t) {
    if (text)
        for (char *c = const_cast<char *>(text); *c; ++c)
            *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    return 7;
}

// Turns the first character of the buffer into "#" and returns the buffer.
extern "C" QOR_API qor_text *_readfile(const char *path, int32_t) {
    if (path && *path)
        const_cast<char *>(path)[0] = '#';
    return copyOf(path);
}

// Returns the text it receives with "!" appended; the buffer is not touched.
extern "C" QOR_API qor_text *StringToHex(const char *text) {
    const size_t length = text ? std::strlen(text) : 0;
    qor_text *result = qor_text_new(text, length + 1);
    if (result)
        result->data[length] = '!';
    return result;
}

// Says every file exists.
extern "C" QOR_API int16_t FileExists(const char *) {
    return QOR_YES;
}

// FAKE_BINTODEC for the digits "1001001", -7 for anything else.
extern "C" QOR_API int32_t BinToDec(const char *digits) {
    if (!digits || std::strcmp(digits, "1001001") != 0)
        return -7;
    const char *answer = std::getenv("FAKE_BINTODEC");
    return answer ? static_cast<int32_t>(std::strtol(answer, nullptr, 10)) : 0;
}

// Two upper-case hexadecimal digits.
extern "C" QOR_API qor_text *CharToHex(uint8_t value) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", value);
    return qor_text_new(digits, 2);
}
