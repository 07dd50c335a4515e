// Packs any bytes and unpacks them again: the round trip is exact, the packed size keeps
// within its bound and is never longer than a simple greedy coding.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "qorlib145.h"

namespace {

// The size of a plain greedy coding: repeats for runs of three or more, literals otherwise.
size_t greedy_size(const uint8_t *s, size_t n) {
    size_t size = 0, literal = 0;
    for (size_t i = 0; i < n;) {
        size_t run = 1;
        while (i + run < n && run < 128 && s[i + run] == s[i])
            ++run;
        if (run >= 3) {
            size += 2;
            literal = 0;
            i += run;
        } else {
            if (literal == 0 || literal == 128) {
                ++size;
                literal = 0;
            }
            ++size;
            ++literal;
            ++i;
        }
    }
    return size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > 1 << 20)
        return 0;
    std::unique_ptr<char[]> input(new char[size ? size : 1]);
    std::memcpy(input.get(), data, size);

    int32_t packed_length = -1;
    qor_text *packed = RLECompress(input.get(), static_cast<int32_t>(size), &packed_length);
    if (!packed || static_cast<size_t>(packed_length) != packed->length)
        abort();
    if (packed->length > size + (size + 127) / 128 || packed->length > greedy_size(data, size))
        abort();

    std::unique_ptr<char[]> copy(new char[packed->length ? packed->length : 1]);
    std::memcpy(copy.get(), packed->data, packed->length);
    int32_t length = packed_length;
    qor_text *unpacked = RLEUncompress(copy.get(), &length);
    if (!unpacked || unpacked->length != size || static_cast<size_t>(length) != size ||
        std::memcmp(unpacked->data, data, size) != 0)
        abort();
    qor_text_free(unpacked);
    qor_text_free(packed);
    return 0;
}
