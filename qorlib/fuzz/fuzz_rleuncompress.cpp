// Unpacks any bytes with any packed length up to the buffer and checks every promise of
// RLEUncompress against a decoder written from the format: the same bytes for well-formed
// and malformed input alike, the size reported, the 64x bound, a terminated result and no
// read past the declared bytes. What came out is then packed again, which must give the
// packing the header describes and unpack to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "packbits_reference.h"
#include "qorlib145.h"

namespace {

void check(bool ok) {
    if (!ok)
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    // The first two bytes choose how much of the rest is declared as packed.
    const size_t available = size - 2;
    const size_t declared = (size_t{data[0]} << 8 | data[1]) % (available + 1);
    const uint8_t *bytes = data + 2;
    // An exact-size copy, so any read past the declared bytes is caught.
    std::unique_ptr<char[]> packed(new char[declared ? declared : 1]);
    std::memcpy(packed.get(), bytes, declared);

    int32_t length = static_cast<int32_t>(declared);
    qor_text *text = RLEUncompress(declared ? packed.get() : nullptr, &length);
    check(text && static_cast<size_t>(length) == text->length && text->data[text->length] == '\0');
    check(text->length <= 64 * declared);
    const std::string expected = reference::unpack(bytes, declared);
    check(text->length == expected.size() &&
          std::memcmp(text->data, expected.data(), expected.size()) == 0);

    int32_t repacked_length = 0;
    qor_text *repacked =
        RLECompress(text->data, static_cast<int32_t>(text->length), &repacked_length);
    check(repacked && static_cast<size_t>(repacked_length) == repacked->length);
    check(reference::is_packing_of(reinterpret_cast<const uint8_t *>(text->data), text->length,
                                   repacked));
    int32_t again_length = repacked_length;
    qor_text *again = RLEUncompress(repacked->data, &again_length);
    check(again && again->length == text->length &&
          std::memcmp(again->data, text->data, text->length) == 0);
    qor_text_free(again);
    qor_text_free(repacked);
    qor_text_free(text);
    return 0;
}
