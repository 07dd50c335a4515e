// A library that never packs: RLECompress reports a packed length of 0 for every text.
#include <string>

#include "qorlib145.h"

extern "C" QOR_API qor_text *RandomStr(int32_t length, int32_t) {
    const std::string text(length > 0 ? static_cast<size_t>(length) : 0, 'a');
    return qor_text_new(text.data(), text.size());
}

extern "C" QOR_API qor_text *RLECompress(const char *, int32_t, int32_t *packed_length) {
    *packed_length = 0;
    return qor_text_new(nullptr, 0);
}
