// Decodes arbitrary bytes, and checks that encoding then decoding gives the input back.
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
    std::string input(reinterpret_cast<const char *>(data), size);
    input = input.substr(0, input.find('\0'));  // what a NUL-terminated argument carries
    const std::string decoded = take(URLDecode(input.c_str()));
    if (decoded.size() > input.size())
        std::abort();
    const std::string encoded = take(URLEncode(input.c_str()));
    if (take(URLDecode(encoded.c_str())) != input)
        std::abort();
    return 0;
}
