// A library whose packing is the identity and whose unpacking spoils a few texts.
// Text n (counting RandomStr calls from 1) is the decimal n followed by "x" up to the
// length asked for. RLECompress reports a packed length of the length minus n mod 38
// (a largest saving of 37), 0 for every thousandth text (not packed), and 40000 for
// text 5001 (a saving below the 16-bit range). RLEUncompress returns the text unchanged
// except: text 17 has its 500th byte changed, text 4242 its last letter upper-cased,
// and text 9999 gains a trailing "x".
#include <cstdlib>
#include <cstring>
#include <string>

#include "qorlib145.h"

namespace {

int texts_made = 0;

long text_number(const char *text) {
    return text ? std::strtol(text, nullptr, 10) : 0;
}

}  // namespace

extern "C" QOR_API qor_text *RandomStr(int32_t length, int32_t) {
    std::string text = std::to_string(++texts_made);
    if (length > 0 && text.size() < static_cast<size_t>(length))
        text.append(static_cast<size_t>(length) - text.size(), 'x');
    return qor_text_new(text.data(), text.size());
}

extern "C" QOR_API int16_t Max(int16_t a, int16_t b) {
    return a > b ? a : b;
}

extern "C" QOR_API qor_text *RLECompress(const char *text, int32_t length, int32_t *packed_length) {
    const long n = text_number(text);
    if (n % 1000 == 0)
        *packed_length = 0;
    else if (n == 5001)
        *packed_length = 40000;
    else
        *packed_length = length - static_cast<int32_t>(n % 38);
    return qor_text_new(text, static_cast<size_t>(length));
}

extern "C" QOR_API qor_text *RLEUncompress(const char *packed, int32_t *) {
    std::string text = packed ? packed : "";
    switch (text_number(packed)) {
        case 17:
            text[499] = 'y';
            break;
        case 4242:
            text.back() = 'X';
            break;
        case 9999:
            text += 'x';
            break;
        default:
            break;
    }
    return qor_text_new(text.data(), text.size());
}
