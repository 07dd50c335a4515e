// Reads arbitrary text as binary digits and compares with a 64-bit reference reading.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text(reinterpret_cast<const char *>(data), size);
    const char *p = text.c_str();
    while (*p == ' ' || *p == '\t')
        ++p;
    uint64_t reference = 0;
    for (; *p == '0' || *p == '1'; ++p)
        reference = reference << 1 | static_cast<uint64_t>(*p - '0');
    if (BinToDec(text.c_str()) != static_cast<int32_t>(static_cast<uint32_t>(reference)))
        std::abort();
    return 0;
}
