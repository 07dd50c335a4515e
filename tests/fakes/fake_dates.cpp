// A date library whose answers show what the date sections pass and how they treat the
// results: PHPDate echoes the bits of its date and its format (or "(null)"), DateToHex
// returns a text with a NUL in it, the conversions return values the rig must reject or
// print unchanged.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "qorlib145.h"

namespace {

qor_text *textOf(const std::string &bytes) {
    return qor_text_new(bytes.data(), bytes.size());
}

}  // namespace

extern "C" QOR_API qor_text *PHPDate(double date, const char *format) {
    std::uint64_t bits;
    std::memcpy(&bits, &date, sizeof bits);
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llX", static_cast<unsigned long long>(bits));
    return textOf(std::string(hex) + "|" + (format ? format : "(null)"));
}

// Far outside the date range.
extern "C" QOR_API double DSTAdjust(double) {
    return 1e10;
}

extern "C" QOR_API qor_text *VBDate(double) {
    return textOf("not a date");
}

extern "C" QOR_API double VBDateToCTime(double date) {
    return date * 2;
}

extern "C" QOR_API double CTimeToVBDate(double seconds) {
    return seconds + 1;
}

extern "C" QOR_API qor_text *DateToHex(double) {
    return textOf(std::string("12AB\0CD", 7));
}

// The length of the text it received, plus one half.
extern "C" QOR_API double HexToDate(const char *hex) {
    return (hex ? static_cast<double>(std::strlen(hex)) : -1.0) + 0.5;
}
