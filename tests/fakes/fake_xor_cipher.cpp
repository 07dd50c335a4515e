// A library whose cipher is a plain XOR with "T", so that a text starting with "T" gets a
// NUL in front; its StringToHex, like any reader of a terminated text, stops at a NUL.
#include <cstdio>
#include <cstring>
#include <string>

#include "qorlib145.h"

extern "C" QOR_API void EncryptString(char *buffer, int32_t length, const char *, int32_t,
                                      const char *) {
    for (int32_t i = 0; buffer && i < length; ++i)
        buffer[i] = static_cast<char>(buffer[i] ^ 'T');
}

extern "C" QOR_API qor_text *StringToHex(const char *text) {
    std::string hex;
    for (const char *c = text ? text : ""; *c; ++c) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(*c));
        hex += pair;
    }
    return qor_text_new(hex.data(), hex.size());
}
