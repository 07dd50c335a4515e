// Packs any bytes and checks every promise of RLECompress: the packing is exactly the one
// the header describes (shortest, with its choice among equal codings, block by block),
// it keeps within its bound, the result is terminated, and RLEUncompress gives the bytes
// back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "packbits_reference.h"
#include "qorlib145.h"

namespace {

void check(bool ok) {
    if (!ok)
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > 1 << 20)
        return 0;
    // An exact-size copy, so a read past the input is caught.
    std::unique_ptr<char[]> input(new char[size ? size : 1]);
    std::memcpy(input.get(), data, size);

    int32_t packed_length = -1;
    qor_text *packed = RLECompress(input.get(), static_cast<int32_t>(size), &packed_length);
    check(packed && static_cast<size_t>(packed_length) == packed->length);
    check(packed->data[packed->length] == '\0');
    check(packed->length <= size + (size + 127) / 128);
    check(reference::is_packing_of(data, size, packed));
    check(std::memcmp(input.get(), data, size) == 0);

    std::unique_ptr<char[]> copy(new char[packed->length ? packed->length : 1]);
    std::memcpy(copy.get(), packed->data, packed->length);
    int32_t length = packed_length;
    qor_text *unpacked = RLEUncompress(copy.get(), &length);
    check(unpacked && unpacked->length == size && static_cast<size_t>(length) == size &&
          std::memcmp(unpacked->data, data, size) == 0 && unpacked->data[size] == '\0');
    qor_text_free(unpacked);
    qor_text_free(packed);
    return 0;
}
