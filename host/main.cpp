// qorlib-host: runs the utility library on behalf of the rig, so that whatever the library
// does to its process (a crash, an endless loop, exit()) cannot take the rig down with it.
// The rig starts it with the channel's file; its standard input and output are the
// channel's pipes, and everything the library writes to either output reaches standard
// error, which the rig shows as the library's.
#include <cstdio>
#include <cstring>
#include <string>

#include "endpoint.h"
#include "server.h"
#include "wire.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace {

#if defined(_WIN32)
qorhost::Channel *answering = nullptr;

const char *exceptionName(DWORD code) {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
            return " (access violation)";
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
            return " (integer divide by zero)";
        case EXCEPTION_STACK_OVERFLOW:
            return " (stack overflow)";
        case EXCEPTION_ILLEGAL_INSTRUCTION:
            return " (illegal instruction)";
        case EXCEPTION_BREAKPOINT:
            return " (breakpoint)";
        case 0xC0000374:
            return " (heap corruption)";
        case 0xC0000409:
            return " (stack buffer overrun)";
        default:
            return "";
    }
}

// A crash in the library: the rig learns the exception as the call's answer, since the
// status of a Windows process under Wine keeps only the code's last byte, and no debugger
// is started.
LONG WINAPI reportCrash(EXCEPTION_POINTERS *info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (answering) {
        char cause[80];
        std::snprintf(cause, sizeof cause, "exception 0x%08lX%s", static_cast<unsigned long>(code),
                      exceptionName(code));
        qorhost::Writer w;
        qorhost::writeFailure(w, {qorhost::Failure::Crashed, cause});
        answering->send(w.bytes());
    }
    TerminateProcess(GetCurrentProcess(), code);
    return EXCEPTION_EXECUTE_HANDLER;
}
#endif

// Takes standard input and output for the channel and points the process's own, and the C
// runtime's, at places where the library's writes do no harm.
std::unique_ptr<qorhost::Signal> takeStandardPipes() {
#if defined(_WIN32)
    HANDLE process = GetCurrentProcess();
    HANDLE in = nullptr, out = nullptr;
    DuplicateHandle(process, GetStdHandle(STD_INPUT_HANDLE), process, &in, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    DuplicateHandle(process, GetStdHandle(STD_OUTPUT_HANDLE), process, &out, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    const int nul = _open("NUL", _O_RDONLY);
    _dup2(nul, 0);
    _close(nul);
    _dup2(2, 1);
    SetStdHandle(STD_INPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(0)));
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
    return qorhost::pipeSignal(in, out);
#else
    const int in = fcntl(0, F_DUPFD_CLOEXEC, 3);
    const int out = fcntl(1, F_DUPFD_CLOEXEC, 3);
    const int nul = open("/dev/null", O_RDONLY);
    dup2(nul, 0);
    close(nul);
    dup2(2, 1);
    return qorhost::pipeSignal(in, out);
#endif
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3 || std::strcmp(argv[1], "--channel") != 0) {
        std::fputs(
            "usage: qorlib-host --channel FILE\n"
            "Runs the qorlib145 library for testbed-report and testbed; they start it.\n",
            stderr);
        return 64;
    }
#if !defined(_WIN32)
    // The rig names a crash by the signal that ended the host: no handler (a sanitizer's,
    // say) may turn it into an ordinary exit.
    for (const int fatal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT})
        ::signal(fatal, SIG_DFL);
#endif
    std::unique_ptr<qorhost::Signal> signal = takeStandardPipes();
    // What the library prints reaches the rig at once, also when it crashes right after.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    try {
        const std::unique_ptr<qorhost::Mapping> mapping = qorhost::openMapping(argv[2]);
        qorhost::Channel channel(mapping->memory, mapping->size, qorhost::Channel::Host, *signal);
#if defined(_WIN32)
        answering = &channel;
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
        SetUnhandledExceptionFilter(&reportCrash);
#endif
        qorhost::Server server;
        std::string request;
        while (channel.receive(request) == qorhost::Wait::Ready)
            channel.send(server.handle(request));
        return 0;  // the rig has gone
    } catch (const qorhost::Malformed &malformed) {
        std::fprintf(stderr, "qorlib-host: %s\n", malformed.reason.c_str());
        return 65;
    }
}
