// Allocation of texts and variants: the one allocator pair callers release results with.
#include <cstdlib>
#include <cstring>
#include <new>

#include "internal.h"
#include "text_buffer.h"

namespace qorlib {

qor_text *new_text(size_t length, size_t slack) noexcept {
    if (length > QOR_TEXT_MAX)
        return nullptr;
    // One block: the header, the bytes and the terminating NUL (and the slack).
    void *block = std::malloc(sizeof(qor_text) + length + 1 + slack);
    if (!block)
        return nullptr;
    auto *text = static_cast<qor_text *>(block);
    text->length = length;
    text->data = static_cast<char *>(block) + sizeof(qor_text);
    text->data[length] = '\0';
    return text;
}

qor_text *shrink_text(qor_text *text, size_t length) noexcept {
    if (void *block = std::realloc(text, sizeof(qor_text) + length + 1)) {
        text = static_cast<qor_text *>(block);
        text->data = static_cast<char *>(block) + sizeof(qor_text);
    }
    text->length = length;
    text->data[length] = '\0';
    return text;
}

}  // namespace qorlib

extern "C" QOR_API qor_text *qor_text_new(const void *bytes, size_t length) {
    qor_text *text = qorlib::new_text(length);
    if (text && length) {
        if (bytes)
            std::memcpy(text->data, bytes, length);
        else
            std::memset(text->data, 0, length);
    }
    return text;
}

extern "C" QOR_API void qor_text_free(qor_text *text) {
    std::free(text);
}

extern "C" QOR_API void qor_variant_clear(qor_variant *variant) {
    if (!variant)
        return;
    qor_text_free(variant->text);
    if (variant->items) {
        for (int32_t i = 0; i < variant->count; ++i)
            qor_text_free(variant->items[i]);
        std::free(variant->items);
    }
    *variant = qor_variant{};
}

namespace qorlib {

qor_text *make_text(std::string_view bytes) noexcept {
    return qor_text_new(bytes.data(), bytes.size());
}

}  // namespace qorlib
