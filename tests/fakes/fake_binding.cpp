// A fake library whose exports make the binding's marshalling visible to tests: it changes
// by-value buffers in place, replaces by-reference texts and returns texts with NULs.
#include <cstdlib>
#include <cstring>
#include <string>

#include "qorlib145.h"

namespace {
qor_text *copy(const void *bytes, size_t n) {
    return qor_text_new(bytes, n);
}
}  // namespace

extern "C" QOR_API int32_t LibVersion(void) {
    return 125;
}

// Identity: returns the argument up to its first NUL.
extern "C" QOR_API qor_text *StrRev(const char *text) {
    return text ? copy(text, std::strlen(text)) : copy("<null>", 6);
}

// Flips bit 5 of each of `length` bytes and puts a NUL at index 1, so tests can see that
// the rig copies the buffer back by length, past the NUL.
extern "C" QOR_API void EncryptString(char *buffer, int32_t length, const char *, int32_t,
                                      const char *salt) {
    for (int32_t i = 0; i < length; ++i)
        buffer[i] = static_cast<char>(buffer[i] ^ 0x20);
    if (length > 2)
        buffer[1] = '\0';
    if (salt)
        buffer[0] = '!';
}

// Replaces the by-reference text with "replaced:" + its old bytes; returns "A\0B".
extern "C" QOR_API qor_text *EncodeString64(qor_text **text, int32_t) {
    std::string old = *text ? std::string((*text)->data, (*text)->length) : "<null>";
    qor_text_free(*text);
    std::string now = "replaced:" + old;
    *text = copy(now.data(), now.size());
    return copy("A\0B", 3);
}

// Releases the by-reference text and leaves a null text; returns every byte 0..255.
extern "C" QOR_API qor_text *DecodeString64(qor_text **text, int32_t *count) {
    qor_text_free(*text);
    *text = nullptr;
    *count = 42;
    unsigned char all[256];
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<unsigned char>(i);
    return copy(all, sizeof all);
}

// Returns exactly `length` bytes of the buffer, so tests see embedded NULs arrive.
extern "C" QOR_API qor_text *RLECompress(const char *text, int32_t length, int32_t *packed) {
    *packed = length;
    return copy(text, static_cast<size_t>(length));
}

// Out of memory, as the library reports it.
extern "C" QOR_API qor_text *StringToHex(const char *) {
    return nullptr;
}

extern "C" QOR_API void ListFiles(qor_variant *result, const char *, const char *, int32_t) {
    result->type = QOR_VARIANT_TEXT_ARRAY;
    result->lower_bound = 3;
    result->count = 2;
    result->items = static_cast<qor_text **>(std::calloc(2, sizeof(qor_text *)));
    result->items[0] = copy("a", 1);
    result->items[1] = copy("b\0c", 3);
}

// Tells the test what arrived: dimensions + 10 x element count + 100 x first element length.
extern "C" QOR_API int32_t GetArrayDimensions(const qor_variant *v) {
    if (!v || v->type != QOR_VARIANT_TEXT_ARRAY)
        return 0;
    int32_t first = v->count > 0 ? static_cast<int32_t>(v->items[0]->length) : 0;
    return 1 + 10 * v->count + 100 * first;
}
