// Unpacks arbitrary text with Cvi, Cvl, Cvf and Cvd, and checks that packing the value
// again gives the text's first bytes, with every byte from the first NUL on read as 0.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "qorlib145.h"

namespace {

void expect_bytes(qor_text *packed, const std::string &text, size_t n) {
    char want[8] = {};
    std::memcpy(want, text.c_str(), std::min(n, std::strlen(text.c_str())));
    if (!packed || packed->length != n || std::memcmp(packed->data, want, n) != 0)
        std::abort();
    qor_text_free(packed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text(reinterpret_cast<const char *>(data), size);
    expect_bytes(Mki(Cvi(text.c_str())), text, 2);
    expect_bytes(Mkl(Cvl(text.c_str())), text, 4);
    expect_bytes(Mkf(Cvf(text.c_str())), text, 4);
    expect_bytes(Mkd(Cvd(text.c_str())), text, 8);
    return 0;
}
