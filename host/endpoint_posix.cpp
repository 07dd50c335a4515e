// The channel's ends on POSIX systems: mmap of a file, and pipes.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "calls.h"
#include "endpoint.h"
#include "wire.h"

namespace qorhost {

Mapping::~Mapping() {
    if (memory)
        munmap(memory, size);
}

std::unique_ptr<Mapping> openMapping(const std::string &path) {
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const std::string reason = std::strerror(errno);
        if (fd >= 0)
            close(fd);
        throw Malformed{"cannot open " + path + ": " + reason};
    }
    auto mapping = std::make_unique<Mapping>();
    mapping->size = static_cast<std::size_t>(info.st_size);
    void *memory = mmap(nullptr, mapping->size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    if (memory == MAP_FAILED)
        throw Malformed{"cannot map " + path + ": " + std::strerror(errno)};
    mapping->memory = memory;
    return mapping;
}

std::unique_ptr<Mapping> createMapping(std::size_t size, std::string &path) {
    // Memory-backed where the system has it; a Windows host under Wine maps it by name too.
    std::string folder = "/dev/shm";
    if (access(folder.c_str(), W_OK) != 0) {
        const char *tmp = std::getenv("TMPDIR");
        folder = tmp && *tmp ? tmp : "/tmp";
    }
    std::string name = folder + "/qorlib-channel-XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        throw Failure{Failure::HostFailed,
                      "cannot make the channel's file in " + folder + ": " + std::strerror(errno)};
    auto mapping = std::make_unique<Mapping>();
    void *memory = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(size)) == 0)
        memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    const int error = errno;
    close(fd);
    if (memory == MAP_FAILED) {
        unlink(name.c_str());
        throw Failure{Failure::HostFailed,
                      "cannot map the channel's file " + name + ": " + std::strerror(error)};
    }
    mapping->memory = memory;
    mapping->size = size;
    path = name;
    return mapping;
}

namespace {

class FdSignal final : public Signal {
  public:
    FdSignal(int readEnd, int writeEnd) : in_(readEnd), out_(writeEnd) {}
    ~FdSignal() override {
        close(in_);
        close(out_);
    }

    void notify() override {
        // A reader that has gone would raise SIGPIPE, which must not end this process: block
        // it for the write and take back one that arrived.
        sigset_t pipe, old;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, &old);
        const char byte = 1;
        ssize_t written;
        do
            written = write(out_, &byte, 1);
        while (written < 0 && errno == EINTR);
        if (written < 0 && errno == EPIPE) {
            const timespec none{0, 0};
            while (sigtimedwait(&pipe, nullptr, &none) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &old, nullptr);
    }

    Wait wait(Clock::time_point deadline) override {
        for (;;) {
            int timeout = -1;
            if (deadline != Clock::time_point::max()) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
                if (left.count() <= 0)
                    return Wait::TimedOut;
                timeout = static_cast<int>(std::min<long long>(left.count(), 1 << 30));
            }
            pollfd fd{in_, POLLIN, 0};
            const int ready = poll(&fd, 1, timeout);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready == 0)
                return Wait::TimedOut;
            char bytes[64];
            const ssize_t n = read(in_, bytes, sizeof bytes);
            if (n > 0)
                return Wait::Ready;
            if (n < 0 && errno == EINTR)
                continue;
            return Wait::PeerGone;
        }
    }

  private:
    int in_;
    int out_;
};

}  // namespace

std::unique_ptr<Signal> pipeSignal(int readEnd, int writeEnd) {
    return std::make_unique<FdSignal>(readEnd, writeEnd);
}

}  // namespace qorhost
