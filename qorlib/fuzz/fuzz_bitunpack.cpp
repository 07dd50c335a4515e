// Unpacks arbitrary bytes, then checks that what comes out packs and unpacks to itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qorlib145.h"

namespace {

std::string take(qor_text *text) {
    if (!text)
        std::abort();
    std::string bytes(text->data, text->length);
    qor_text_free(text);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string input(reinterpret_cast<const char *>(data),
                            size);  // cut at a NUL by the call
    const std::string number = take(BitUnPack(input.c_str(), 0));
    if (number.find_first_not_of("0123456789.+-E") != std::string::npos)
        std::abort();
    const std::string packed = take(BitPack(number.c_str(), 0));
    if (packed.size() != (number.size() + 1) / 2 || packed.find('\0') != std::string::npos)
        std::abort();
    if (take(BitUnPack(packed.c_str(), 0)) != number)
        std::abort();
    // The input read as a number to pack must never crash either.
    take(BitPack(input.c_str(), static_cast<int32_t>(size)));
    return 0;
}
