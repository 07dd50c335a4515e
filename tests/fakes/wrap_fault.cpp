// The real library with one fault in one export, chosen by FAKE_FAULT, as a broken build
// of the library would have it:
//   crash      Gcd writes through a null pointer
//   hang       MatchCIDR never returns
//   exit       DiskFree calls exit(0)
//   abort      VBDate calls abort()
//   overwrite  StripL writes 32 bytes past the end of its result
//   stdout     EncryptString writes to standard output and standard error
//   slow       GetDiskSizeMb takes 20 ms longer, every call
//   leak       GetProcessMemoryUsed keeps 10 MiB it wrote to, every call
// Unset or anything else: the real library; several faults are separated by commas.
// FAKE_FAULT_AT=n lets the n-th call of the export go wrong instead of the first (a pass
// calls DiskFree 3 times).
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "qorlib145.h"

namespace {

// Whether this call of the export with fault `name` goes wrong; each export counts its own.
bool fault(const char *name, int &calls) {
    const char *chosen = std::getenv("FAKE_FAULT");
    const std::size_t length = std::strlen(name);
    const char *at = chosen;
    while (at && (std::strncmp(at, name, length) != 0 || (at[length] != ',' && at[length] != 0)))
        at = (at = std::strchr(at, ',')) ? at + 1 : nullptr;
    if (!at)
        return false;
    const char *from = std::getenv("FAKE_FAULT_AT");
    return ++calls >= (from ? std::atoi(from) : 1);
}

// Past the sanitizers' own null check, which would end the process before its signal does.
__attribute__((no_sanitize("address", "undefined"))) void writeThroughNull() {
    *static_cast<volatile int *>(nullptr) = 1;
}

template <typename F>
F real(const char *name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

QOR_API int32_t Gcd(int32_t a, int32_t b) {
    static int calls = 0;
    if (fault("crash", calls))
        writeThroughNull();
    return real<int32_t (*)(int32_t, int32_t)>("Gcd")(a, b);
}

QOR_API int16_t MatchCIDR(const char *block, const char *address) {
    static int calls = 0;
    if (fault("hang", calls))
        for (;;)
            pause();
    return real<int16_t (*)(const char *, const char *)>("MatchCIDR")(block, address);
}

QOR_API double DiskFree(const char *drive) {
    static int calls = 0;
    if (fault("exit", calls))
        std::exit(0);
    return real<double (*)(const char *)>("DiskFree")(drive);
}

QOR_API qor_text *VBDate(double date) {
    static int calls = 0;
    if (fault("abort", calls))
        std::abort();
    return real<qor_text *(*)(double)>("VBDate")(date);
}

QOR_API qor_text *StripL(const char *text, const char *character) {
    qor_text *result = real<qor_text *(*)(const char *, const char *)>("StripL")(text, character);
    static int calls = 0;
    if (fault("overwrite", calls) && result)
        std::memset(result->data + result->length + 1, 0xA5, 32);
    return result;
}

QOR_API void EncryptString(char *buffer, int32_t length, const char *password, int32_t mode,
                           const char *salt) {
    static int calls = 0;
    if (fault("stdout", calls)) {
        std::printf("EncryptString was here\n");
        std::fflush(stdout);
        std::fprintf(stderr, "EncryptString complains\n");
    }
    real<void (*)(char *, int32_t, const char *, int32_t, const char *)>("EncryptString")(
        buffer, length, password, mode, salt);
}

QOR_API int32_t GetDiskSizeMb(const char *drive) {
    static int calls = 0;
    if (fault("slow", calls))
        usleep(20'000);
    return real<int32_t (*)(const char *)>("GetDiskSizeMb")(drive);
}

QOR_API int32_t GetProcessMemoryUsed(int32_t pid) {
    static int calls = 0;
    if (fault("leak", calls)) {
        // Kept where a leak checker still sees it: the host must not fail for the fault.
        static std::vector<std::unique_ptr<char[]>> kept;
        kept.emplace_back(new char[10 << 20]);
        std::memset(kept.back().get(), 1, 10 << 20);
    }
    return real<int32_t (*)(int32_t)>("GetProcessMemoryUsed")(pid);
}
}
