// A library for the start-up check and the caption: LibVersion answers the number in the
// environment variable FAKE_LIBVERSION (125 when unset), so one file stands for every
// version. GetPID answers FAKE_PID plus the number of earlier GetPID calls, and
// GetProcessMemoryUsed answers FAKE_MEMORY only for the id GetPID handed out last (-1 for
// any other), so a caller that passes a stale or made-up id is caught.
#include <cstdlib>
#include <cstring>

#include "qorlib145.h"

namespace {

int32_t fromEnvironment(const char *name, int32_t fallback) {
    const char *text = std::getenv(name);
    return text && *text ? static_cast<int32_t>(std::strtol(text, nullptr, 10)) : fallback;
}

int32_t pidCalls = 0;
int32_t lastPid = 0;

}  // namespace

extern "C" QOR_API int32_t LibVersion(void) {
    return fromEnvironment("FAKE_LIBVERSION", 125);
}

extern "C" QOR_API qor_text *WindowsVersion(void) {
    static const char text[] = "FakeOS 5.1";
    return qor_text_new(text, std::strlen(text));
}

extern "C" QOR_API qor_text *WindowsSubVersion(void) {
    static const char text[] = "Service Pack 3";
    return qor_text_new(text, std::strlen(text));
}

extern "C" QOR_API int32_t GetPID(void) {
    lastPid = fromEnvironment("FAKE_PID", 4000) + pidCalls++;
    return lastPid;
}

extern "C" QOR_API int32_t GetProcessMemoryUsed(int32_t pid) {
    return pid == lastPid ? fromEnvironment("FAKE_MEMORY", 1234944) : -1;
}
