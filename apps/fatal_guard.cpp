#include "fatal_guard.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "running.h"

namespace apps {

namespace {

const char *program = "";
const char *note = nullptr;

struct FatalSignal {
    int number;
    const char *name;
    const char *what;
};

constexpr FatalSignal fatalSignals[] = {
    {SIGSEGV, "SIGSEGV", "segmentation fault"},
    {SIGBUS, "SIGBUS", "bus error"},
    {SIGILL, "SIGILL", "illegal instruction"},
    {SIGFPE, "SIGFPE", "arithmetic exception"},
    {SIGABRT, "SIGABRT", "abort"},
};

// Builds one line in a fixed buffer and writes it with a single write(2): nothing here may
// allocate or take a lock, since it runs in a signal handler or after the library's exit().
class Line {
  public:
    Line &operator<<(const char *text) {
        for (; text && *text && length_ < sizeof buffer_ - 1; ++text)
            buffer_[length_++] = *text;
        return *this;
    }
    void writeToStandardError() {
        buffer_[length_++] = '\n';
        for (std::size_t done = 0; done < length_;) {
            const ssize_t n = ::write(STDERR_FILENO, buffer_ + done, length_ - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
            else if (n < 0 && errno != EINTR)
                return;
        }
    }

  private:
    char buffer_[512];
    std::size_t length_ = 0;
};

void onFatalSignal(int number) {
    const int savedErrno = errno;
    if (const char *name = qorhost::runningExport()) {
        const FatalSignal *fatal = nullptr;
        for (const FatalSignal &candidate : fatalSignals)
            if (candidate.number == number)
                fatal = &candidate;
        Line line;
        line << program << ": the library crashed in " << name;
        if (fatal)
            line << ": " << fatal->name << " (" << fatal->what << ")";
        if (note)
            line << "; " << note;
        line.writeToStandardError();
    }
    // A fault of the rig's own is left exactly as it would be without this handler.
    struct sigaction original {};
    original.sa_handler = SIG_DFL;
    sigemptyset(&original.sa_mask);
    sigaction(number, &original, nullptr);
    errno = savedErrno;
    // Pending while this handler runs; delivered, with the default action, as it returns.
    raise(number);
}

void onExit() {
    if (const char *name = qorhost::runningExport()) {
        Line line;
        line << program << ": the library ended the process (exit) in " << name;
        line.writeToStandardError();
        _exit(LIBRARY_ENDED_PROCESS);
    }
}

// The handlers need an alternate stack to run on after a stack overflow. One that is in
// place already (the address sanitizer sets its own) is kept.
void ensureAlternateStack() {
    constexpr std::size_t size = 64 * 1024;
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE) &&
        current.ss_size >= 16 * 1024)
        return;
    void *memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return;  // the handlers still run on the ordinary stack
    stack_t stack{};
    stack.ss_sp = memory;
    stack.ss_size = size;
    if (sigaltstack(&stack, nullptr) != 0)
        munmap(memory, size);
}

}  // namespace

void installFatalGuard(const char *programName, const char *crashNote) {
    program = programName;
    note = crashNote;
    ensureAlternateStack();
    struct sigaction action {};
    action.sa_handler = &onFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_ONSTACK;
    for (const FatalSignal &fatal : fatalSignals)
        sigaction(fatal.number, &action, nullptr);
    std::atexit(&onExit);
}

}  // namespace apps
