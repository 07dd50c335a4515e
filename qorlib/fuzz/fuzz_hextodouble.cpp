// Reads arbitrary text with HexToDouble and compares with a reference reading of at most
// 16 leading digits.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text(reinterpret_cast<const char *>(data), size);
    const char *p = text.c_str();
    while (*p == ' ' || *p == '\t')
        ++p;
    if ((p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) ||
        (p[0] == '&' && (p[1] == 'h' || p[1] == 'H')))
        p += 2;
    std::string digits;
    while (digits.size() < 16 && std::isxdigit(static_cast<unsigned char>(*p)))
        digits += *p++;
    uint64_t reference = digits.empty() ? 0 : std::strtoull(digits.c_str(), nullptr, 16);
    if (HexToDouble(text.c_str()) != static_cast<double>(reference))
        std::abort();
    return 0;
}
