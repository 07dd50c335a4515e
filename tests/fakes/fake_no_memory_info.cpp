// A library that hands out a new process id on every GetPID call (1001, 1002, ...) and
// cannot read process memory: GetProcessMemoryUsed gives -1 for the id handed out last,
// and -2 for any other id. The environment variable FAKE_PROCESS_MEMORY, when set, is
// the figure it gives for the last id instead of -1.
#include <cstdlib>

#include "qorlib145.h"

namespace {

int32_t last_pid = 1000;

}  // namespace

extern "C" QOR_API int32_t GetPID(void) {
    return ++last_pid;
}

extern "C" QOR_API int32_t GetProcessMemoryUsed(int32_t pid) {
    if (pid != last_pid)
        return -2;
    const char *figure = std::getenv("FAKE_PROCESS_MEMORY");
    return figure ? static_cast<int32_t>(std::strtol(figure, nullptr, 10)) : -1;
}
