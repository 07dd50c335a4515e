// Decodes arbitrary text as hexadecimal, and checks that StringToHex then HexToStr gives
// a text back exactly.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text(reinterpret_cast<const char *>(data), size);  // ends at its first NUL
    size_t length = std::strlen(text.c_str());

    qor_text *bytes = HexToStr(text.c_str());
    if (!bytes)
        std::abort();
    // Each byte comes from two leading hex digits.
    size_t pairs = 0;
    while (2 * pairs + 1 < length && std::isxdigit(static_cast<unsigned char>(text[2 * pairs])) &&
           std::isxdigit(static_cast<unsigned char>(text[2 * pairs + 1])))
        ++pairs;
    if (bytes->length != pairs)
        std::abort();
    qor_text_free(bytes);

    qor_text *hex = StringToHex(text.c_str());
    if (!hex || hex->length != 2 * length)
        std::abort();
    qor_text *back = HexToStr(hex->data);
    if (!back || back->length != length || std::memcmp(back->data, text.c_str(), length) != 0)
        std::abort();
    qor_text_free(back);
    qor_text_free(hex);
    return 0;
}
