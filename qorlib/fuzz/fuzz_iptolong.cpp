// Arbitrary text as an address: the answer is -1 or a whole 32-bit value, and a value
// found must write back to a complete address that reads as the same value.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    const double value = IPToLong(text.c_str());
    if (value == -1.0)
        return 0;
    if (!(value >= 0 && value <= 4294967295.0) || std::trunc(value) != value)
        std::abort();
    qor_text *dotted = LongToIP(value);
    if (!dotted || dotted->length < 7)
        std::abort();
    if (IPToLong(dotted->data) != value || MatchCIDR(dotted->data, dotted->data) != QOR_YES)
        std::abort();
    qor_text_free(dotted);
    return 0;
}
