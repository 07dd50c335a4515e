// A library that answers unlike ours, to show how the rig copes:
// - ListFiles gives a single text instead of an array, and GetArrayDimensions says 0;
// - IsValidDisk is missing, so every drive row's validity test fails and leads into the row;
// - BitPack gives a text with a NUL inside;
// - Replace changes its subject in place (the first byte becomes "X") and returns the
//   subject as it received it;
// - every other call of the bits, URL and hex section is missing.
#include <cstring>

#include "qorlib145.h"

extern "C" QOR_API int32_t GetArrayDimensions(const qor_variant *) {
    return 0;
}

extern "C" QOR_API void ListFiles(qor_variant *result, const char *, const char *, int32_t) {
    if (!result)
        return;
    static const char name[] = "CONFIG.SYS";
    *result = qor_variant{};
    result->type = QOR_VARIANT_TEXT;
    result->text = qor_text_new(name, std::strlen(name));
}

// Only C is a hard drive; only D is a CD-ROM drive.
extern "C" QOR_API int16_t IsHardDisk(const char *drive) {
    return drive && drive[0] == 'C' ? QOR_YES : QOR_NO;
}

extern "C" QOR_API int16_t IsCDROMDisk(const char *drive) {
    return drive && drive[0] == 'D' ? QOR_YES : QOR_NO;
}

extern "C" QOR_API int32_t GetPID(void) {
    return 4242;
}

extern "C" QOR_API qor_text *BitPack(const char *, int32_t) {
    return qor_text_new("AB\0CD", 5);
}

extern "C" QOR_API qor_text *Replace(const char *subject, const char *, const char *) {
    if (!subject)
        return qor_text_new(nullptr, 0);
    qor_text *result = qor_text_new(subject, std::strlen(subject));
    if (subject[0] != '\0')
        const_cast<char *>(subject)[0] = 'X';
    return result;
}
