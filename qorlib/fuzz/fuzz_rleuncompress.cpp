// Unpacks any bytes with any packed length up to the buffer, then checks the result
// against the format's bounds and packs it back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    // The first two bytes choose how much of the rest is declared as packed.
    const size_t available = size - 2;
    const size_t declared = available ? ((size_t{data[0]} << 8 | data[1]) % (available + 1)) : 0;
    // An exact-size copy, so any read past the declared bytes is caught.
    std::unique_ptr<char[]> packed(new char[declared ? declared : 1]);
    std::memcpy(packed.get(), data + 2, declared);

    int32_t length = static_cast<int32_t>(declared);
    qor_text *text = RLEUncompress(declared ? packed.get() : nullptr, &length);
    if (!text)
        abort();
    if (static_cast<size_t>(length) != text->length || text->length > 64 * declared ||
        text->data[text->length] != '\0')
        abort();

    int32_t repacked_length = 0;
    qor_text *repacked =
        RLECompress(text->data, static_cast<int32_t>(text->length), &repacked_length);
    if (!repacked || static_cast<size_t>(repacked_length) != repacked->length)
        abort();
    int32_t again_length = repacked_length;
    qor_text *again = RLEUncompress(repacked->data, &again_length);
    if (!again || again->length != text->length ||
        std::memcmp(again->data, text->data, text->length) != 0)
        abort();
    qor_text_free(again);
    qor_text_free(repacked);
    qor_text_free(text);
    return 0;
}
