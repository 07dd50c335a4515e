// The rig's end: starts a library host, exchanges messages with it and watches it. When the
// host dies or a call runs past its limit, the host is ended and the exchange raises a
// Failure that says why; the next exchange needs a new HostProcess.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "calls.h"
#include "channel.h"

namespace qorhost {

struct HostCommand {
    // The program and its first arguments: the host itself, or Wine and the host.
    std::vector<std::string> argv;
    // Variables to set in the host's environment, as "NAME=value".
    std::vector<std::string> environment;
    // The host sees files by their Windows names (a host under Wine): "Z:\tmp\...".
    bool windowsPaths = false;
};

class HostProcess {
  public:
    // Each line the host writes to standard error (the library's own output included).
    using Output = std::function<void(std::string_view line)>;

    // Starts the host. Raises Failure{HostFailed} with the reason when it cannot start.
    HostProcess(const HostCommand &command, Output output);
    ~HostProcess();
    HostProcess(const HostProcess &) = delete;
    HostProcess &operator=(const HostProcess &) = delete;

    // Sends `request` and returns the answer. When the host dies, breaks the channel or
    // takes longer than `limit`, it is ended and Failure{Crashed} or {TimedOut} is raised,
    // with the cause in its detail ("signal SIGSEGV (Segmentation fault)", "exit status 0",
    // "60 seconds").
    const std::string &exchange(std::string_view request, std::chrono::milliseconds limit);
    // Ends a host whose answer broke the format, raising Failure{Crashed} with the reason.
    [[noreturn]] void broken(const std::string &reason);

    // Ends the host at once, without waiting for it to finish: for a host that has said it
    // crashed.
    void abandon() {
        if (pid_ > 0)
            endAndReap(true);
    }

    bool alive() const { return pid_ > 0; }
    int pid() const { return pid_; }

  private:
    [[noreturn]] void fail(Failure::Kind kind, std::string cause);
    std::string endAndReap(bool kill);

    int pid_ = -1;
    std::string path_;
    std::unique_ptr<struct Mapping> mapping_;
    std::unique_ptr<Signal> signal_;
    std::unique_ptr<Channel> channel_;
    std::thread reader_;
    std::string answer_;
};

}  // namespace qorhost
