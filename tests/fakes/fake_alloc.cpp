// The allocator pair every fake library needs, so the rig can release what a fake returns.
#include <cstdlib>
#include <cstring>

#include "qorlib145.h"

extern "C" QOR_API qor_text *qor_text_new(const void *bytes, size_t length) {
    auto *text = static_cast<qor_text *>(std::malloc(sizeof(qor_text) + length + 1));
    if (!text)
        return nullptr;
    text->length = length;
    text->data = reinterpret_cast<char *>(text + 1);
    if (bytes && length)
        std::memcpy(text->data, bytes, length);
    else if (length)
        std::memset(text->data, 0, length);
    text->data[length] = '\0';
    return text;
}

extern "C" QOR_API void qor_text_free(qor_text *text) {
    std::free(text);
}

extern "C" QOR_API void qor_variant_clear(qor_variant *v) {
    if (!v)
        return;
    qor_text_free(v->text);
    if (v->items) {
        for (int32_t i = 0; i < v->count; ++i)
            qor_text_free(v->items[i]);
        std::free(v->items);
    }
    *v = qor_variant{};
}
