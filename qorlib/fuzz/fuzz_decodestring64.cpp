// Decodes arbitrary bytes as Base64, and checks that encoding then decoding them gives
// them back exactly with any line length.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    qor_text *in = qor_text_new(data, size);
    if (!in)
        return 0;
    int32_t count = -1;
    qor_text *decoded = DecodeString64(&in, &count);
    if (!decoded || count < 0 || static_cast<size_t>(count) != decoded->length ||
        decoded->length > size)
        std::abort();
    qor_text_free(decoded);

    int32_t line = size ? static_cast<int8_t>(data[0]) : 0;
    qor_text *encoded = EncodeString64(&in, line);
    if (!encoded)
        std::abort();
    qor_text *back = DecodeString64(&encoded, nullptr);
    if (!back || back->length != size || (size && std::memcmp(back->data, data, size) != 0))
        std::abort();
    qor_text_free(back);
    qor_text_free(encoded);
    qor_text_free(in);
    return 0;
}
