// The real library with what varies by nature under the test's control. It is linked to
// libqorlib145, so every export it does not define is the real one.
//   FAKE_SEED=s (s > 0): the random texts follow seed s, and the process id, the memory
//     figures and the figures of drive C differ with s (as from run to run and machine to
//     machine). Unset: the real answers.
//   FAKE_SEMICOLON=1: RandomStr's printable texts (mode 4) end in ";".
//   FAKE_ERROR=1: BinToDec answers 300, more than the byte a later step converts it to, so
//     a pass writes exactly one error line.
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

#include "qorlib145.h"

namespace {

int seed() {
    const char *text = std::getenv("FAKE_SEED");
    return text ? std::atoi(text) : 0;
}

// The real export of that name: the next definition after this library's own.
template <typename F>
F real(const char *name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool isDriveC(const char *drive) {
    return drive && (drive[0] == 'C' || drive[0] == 'c');
}

}  // namespace

extern "C" {

QOR_API void Randomise(int32_t value) {
    real<void (*)(int32_t)>("Randomise")(seed() > 0 ? seed() : value);
}

QOR_API qor_text *RandomStr(int32_t length, int32_t mode) {
    qor_text *text = real<qor_text *(*)(int32_t, int32_t)>("RandomStr")(length, mode);
    if (text && text->length > 0 && mode == 4 && std::getenv("FAKE_SEMICOLON"))
        text->data[text->length - 1] = ';';
    return text;
}

QOR_API int32_t BinToDec(const char *digits) {
    return std::getenv("FAKE_ERROR") ? 300 : real<int32_t (*)(const char *)>("BinToDec")(digits);
}

QOR_API int32_t GetPID(void) {
    return seed() > 0 ? 7 + seed() * 104729 % 9999991 : real<int32_t (*)()>("GetPID")();
}

QOR_API int32_t GetProcessMemoryUsed(int32_t pid) {
    return seed() > 0 ? 4096 * (300 + seed() * 7919 % 100000)
                      : real<int32_t (*)(int32_t)>("GetProcessMemoryUsed")(pid);
}

#define JITTER_MEMORY(name)                                        \
    QOR_API double name(void) {                                    \
        return real<double (*)()>(#name)() + seed() * 123456789.0; \
    }
JITTER_MEMORY(GetTotalPhysicalMemory)
JITTER_MEMORY(GetAvailablePhysicalMemory)
JITTER_MEMORY(GetTotalVirtualMemory)
JITTER_MEMORY(GetAvailableVirtualMemory)
JITTER_MEMORY(GetTotalSwapfileMemory)
JITTER_MEMORY(GetAvailableSwapfileMemory)

QOR_API double DiskFree(const char *drive) {
    const double free = real<double (*)(const char *)>("DiskFree")(drive);
    return isDriveC(drive) && free >= 0 ? free + seed() * 987654321.0 : free;
}

QOR_API int64_t GetDiskSize(const char *drive, int32_t flags) {
    const int64_t size = real<int64_t (*)(const char *, int32_t)>("GetDiskSize")(drive, flags);
    return isDriveC(drive) && size >= 0 ? size + seed() * 98765432109876LL : size;
}

QOR_API int32_t GetDiskSizeMb(const char *drive) {
    const int32_t size = real<int32_t (*)(const char *)>("GetDiskSizeMb")(drive);
    return isDriveC(drive) && size >= 0 ? size + seed() * 9876 : size;
}

QOR_API double GetDiskSizeGb(const char *drive) {
    const double size = real<double (*)(const char *)>("GetDiskSizeGb")(drive);
    return isDriveC(drive) && size >= 0 ? size + seed() * 9.875 : size;
}

}  // extern "C"
