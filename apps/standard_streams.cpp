#include "standard_streams.h"

#include <cerrno>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace apps {

#if defined(_WIN32)

bool isTerminal(std::FILE *stream) {
    return _isatty(_fileno(stream)) != 0;
}

// The Windows C runtime gives a closed standard stream no descriptor that a later file
// could take, so there is nothing to hold.
bool holdClosedStandardStreams() {
    return false;
}

#else

bool isTerminal(std::FILE *stream) {
    return isatty(fileno(stream)) != 0;
}

bool holdClosedStandardStreams() {
    bool outputClosed = false;
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        outputClosed = outputClosed || fd == STDOUT_FILENO;
        // The lowest free descriptor, so this one: the lower ones are open by now.
        (void)open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    }
    return outputClosed;
}

#endif

}  // namespace apps
