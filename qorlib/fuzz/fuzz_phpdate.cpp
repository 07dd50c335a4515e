// PHPDate and the other date functions with any date value and any format text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 9)
        return 0;
    double date;
    std::memcpy(&date, data + 1, sizeof date);
    // Half the inputs are folded into the supported range, so the formatting runs.
    if (data[0] & 1) {
        std::uint64_t bits;
        std::memcpy(&bits, data + 1, sizeof bits);
        constexpr std::uint64_t kRangeMs = 3'615'900ULL * 86'400'000ULL;
        date = -657434.0 + static_cast<double>(bits % kRangeMs) / 86'400'000.0;
    }
    const std::string format(reinterpret_cast<const char *>(data + 9), size - 9);

    qor_text *text = PHPDate(date, format.c_str());
    if (!text)
        std::abort();
    qor_text_free(text);

    qor_text *plain = VBDate(date);
    if (!plain || (plain->length != 0 && plain->length != 19))
        std::abort();
    qor_text_free(plain);

    (void)DSTAdjust(date);
    (void)CTimeToVBDate(VBDateToCTime(date));
    return 0;
}
