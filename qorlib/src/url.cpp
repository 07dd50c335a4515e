// The form encoding of web pages: unreserved bytes stay, a blank is "+", the rest "%XX".
#include <string>

#include "internal.h"

namespace {

bool is_unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == '~';
}

}  // namespace

extern "C" QOR_API qor_text *URLEncode(const char *text) {
    constexpr const char *kDigits = qorlib::kHexDigits;
    try {
        const std::string_view in = qorlib::arg(text);
        std::string out;
        out.reserve(in.size());
        for (unsigned char c : in) {
            if (is_unreserved(c)) {
                out += static_cast<char>(c);
            } else if (c == ' ') {
                out += '+';
            } else {
                out += '%';
                out += kDigits[c >> 4];
                out += kDigits[c & 0x0F];
            }
        }
        return qorlib::make_text(out);
    } catch (...) {
        return nullptr;
    }
}

extern "C" QOR_API qor_text *URLDecode(const char *text) {
    try {
        const std::string_view in = qorlib::arg(text);
        std::string out;
        out.reserve(in.size());
        for (size_t i = 0; i < in.size(); ++i) {
            const char c = in[i];
            if (c == '+') {
                out += ' ';
                continue;
            }
            if (c == '%' && i + 2 < in.size()) {
                const int high = qorlib::hex_digit_value(in[i + 1]);
                const int low = qorlib::hex_digit_value(in[i + 2]);
                if (high >= 0 && low >= 0) {
                    out += static_cast<char>((high << 4) | low);
                    i += 2;
                    continue;
                }
            }
            // Anything else, including a "%" without two hex digits after it, stays as it is.
            out += c;
        }
        return qorlib::make_text(out);
    } catch (...) {
        return nullptr;
    }
}
