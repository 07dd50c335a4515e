// Reads arbitrary text as one or two hex digits and compares with strtoul on the same
// leading digits.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text(reinterpret_cast<const char *>(data), size);
    size_t digits = 0;
    while (digits < 2 && digits < text.size() &&
           std::isxdigit(static_cast<unsigned char>(text[digits])))
        ++digits;
    unsigned long expected = digits ? std::strtoul(text.substr(0, digits).c_str(), nullptr, 16) : 0;
    if (HexToChar(text.c_str()) != expected)
        std::abort();
    return 0;
}
