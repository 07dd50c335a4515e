// Allocation of texts and variants: the one allocator pair callers release results with.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "internal.h"
#include "platform.h"

namespace qorlib {
namespace {

// The C library keeps freed blocks of up to 32 MiB for reuse, but maps every larger one
// afresh, so a caller making such results one after another would pay for the page faults
// of each. The library keeps the last large block freed instead, and the next large result
// that fits it well takes it over. At most one block of at most 64 MiB is kept.
constexpr size_t kSpareFrom = size_t{32} << 20;
constexpr size_t kSpareUpTo = size_t{64} << 20;

struct SpareBlock {
    std::atomic<void *> block{nullptr};
    ~SpareBlock() { std::free(block.exchange(nullptr)); }
};
SpareBlock spare;

// The kept block when it holds `size` bytes without wasting more than half as many again;
// nullptr otherwise (a block that does not fit is released).
void *take_spare(size_t size) noexcept {
    void *block = spare.block.exchange(nullptr, std::memory_order_acquire);
    if (!block)
        return nullptr;
    const size_t capacity = sys::block_capacity(block);
    if (capacity >= size && capacity - size <= size / 2)
        return block;
    std::free(block);
    return nullptr;
}

// Releases a block holding a text; a large one may be kept for the next large text.
void release_block(void *block) noexcept {
    if (!block)
        return;
    const size_t capacity = sys::block_capacity(block);
    if (capacity >= kSpareFrom && capacity <= kSpareUpTo)
        block = spare.block.exchange(block, std::memory_order_acq_rel);
    std::free(block);
}

}  // namespace
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
    qorlib::release_block(text);
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

// From this size on a fresh result is worth large pages: the C library maps such a block
// afresh for every call, and faulting it in 4 KiB at a time costs several times the work.
constexpr size_t kLargeBlock = size_t{4} << 20;

qor_text *make_text(std::string_view bytes) noexcept {
    return qor_text_new(bytes.data(), bytes.size());
}

qor_text *new_text(size_t length, size_t slack) noexcept {
    if (length > QOR_TEXT_MAX)
        return nullptr;
    // One block: the header, the bytes, the terminating NUL and the slack.
    const size_t size = sizeof(qor_text) + length + 1 + slack;
    void *block = size >= kSpareFrom ? take_spare(size) : nullptr;
    if (!block) {
        block = std::malloc(size);
        if (!block)
            return nullptr;
        if (size >= kLargeBlock)
            sys::advise_large_block(block, size);
    }
    auto *text = static_cast<qor_text *>(block);
    text->length = length;
    text->data = static_cast<char *>(block) + sizeof(qor_text);
    text->data[length] = '\0';
    return text;
}

qor_text *grow_text(qor_text *text, size_t length) noexcept {
    if (length <= QOR_TEXT_MAX && sizeof(qor_text) + length + 1 >= kLargeBlock) {
        // A large block moves to a fresh one with its hint rather than through realloc,
        // whose remapping of a large-page block costs several times the copy.
        qor_text *grown = new_text(length);
        if (grown)
            std::memcpy(grown->data, text->data, text->length < length ? text->length : length);
        release_block(text);
        return grown;
    }
    void *block =
        length <= QOR_TEXT_MAX ? std::realloc(text, sizeof(qor_text) + length + 1) : nullptr;
    if (!block) {
        std::free(text);
        return nullptr;
    }
    text = static_cast<qor_text *>(block);
    text->data = static_cast<char *>(block) + sizeof(qor_text);
    text->length = length;
    text->data[length] = '\0';
    return text;
}

qor_text *shrink_text(qor_text *text, size_t length) noexcept {
    // Spare room is given back only when it is large, both in bytes and against what is
    // kept: a block that shrinks by a little on every call would keep the C library's
    // allocator from reusing large blocks, and every call would fault in fresh pages.
    const size_t spare = text->length > length ? text->length - length : 0;
    if (spare >= 64 && spare > length / 4) {
        if (void *block = std::realloc(text, sizeof(qor_text) + length + 1)) {
            text = static_cast<qor_text *>(block);
            text->data = static_cast<char *>(block) + sizeof(qor_text);
        }
    }
    if (length < text->length)
        text->length = length;
    text->data[text->length] = '\0';
    return text;
}

}  // namespace qorlib
