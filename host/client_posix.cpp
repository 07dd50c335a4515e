#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "client.h"
#include "endpoint.h"
#include "wire.h"

extern char **environ;

namespace qorhost {

namespace {

// Room for the answers of nearly every call; larger messages cross in chunks.
constexpr std::size_t MAILBOX_SIZE = 4u << 20;

std::string windowsName(const std::string &path) {
    std::string name = "Z:" + path;
    for (char &c : name)
        if (c == '/')
            c = '\\';
    return name;
}

std::string describe(int status) {
    if (WIFSIGNALED(status)) {
        const int number = WTERMSIG(status);
        const char *name = sigabbrev_np(number);
        return std::string("signal ") +
               (name ? std::string("SIG") + name : std::to_string(number)) + " (" +
               strsignal(number) + ")";
    }
    if (WIFEXITED(status))
        return "exit status " + std::to_string(WEXITSTATUS(status));
    return "status " + std::to_string(status);
}

}  // namespace

HostProcess::HostProcess(const HostCommand &command, Output output) {
    mapping_ = createMapping(MAILBOX_SIZE, path_);
    int toHost[2], fromHost[2], log[2];
    if (pipe2(toHost, O_CLOEXEC) != 0)
        throw Failure{Failure::HostFailed,
                      std::string("cannot make a pipe: ") + std::strerror(errno)};
    if (pipe2(fromHost, O_CLOEXEC) != 0 || pipe2(log, O_CLOEXEC) != 0) {
        close(toHost[0]);
        close(toHost[1]);
        throw Failure{Failure::HostFailed,
                      std::string("cannot make a pipe: ") + std::strerror(errno)};
    }
    std::vector<std::string> arguments = command.argv;
    arguments.push_back("--channel");
    arguments.push_back(command.windowsPaths ? windowsName(path_) : path_);
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables = command.environment;
    std::vector<char *> envp;
    for (std::string &variable : variables)
        envp.push_back(variable.data());
    for (char **e = environ; *e; ++e) {
        const char *equals = std::strchr(*e, '=');
        const std::size_t length = equals ? static_cast<std::size_t>(equals - *e) + 1 : 0;
        bool overridden = false;
        for (const std::string &variable : variables)
            overridden = overridden || (length && variable.compare(0, length, *e, length) == 0);
        if (!overridden)
            envp.push_back(*e);
    }
    envp.push_back(nullptr);

    // The mailbox is laid out before the host can look at it.
    signal_ = pipeSignal(fromHost[0], toHost[1]);
    channel_ = std::make_unique<Channel>(mapping_->memory, mapping_->size, Channel::Rig, *signal_);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toHost[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromHost[1], 1);
    posix_spawn_file_actions_adddup2(&actions, log[1], 2);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(toHost[0]);
    close(fromHost[1]);
    close(log[1]);
    if (error != 0) {
        channel_.reset();
        signal_.reset();  // closes the rig's ends of the channel's pipes
        close(log[0]);
        unlink(path_.c_str());
        throw Failure{Failure::HostFailed,
                      "cannot start " + command.argv.front() + ": " + std::strerror(error)};
    }
    pid_ = pid;
    // The host's standard error, line by line, until the host and all it started are gone.
    reader_ = std::thread([fd = log[0], output = std::move(output)] {
        std::string pending;
        char bytes[4096];
        for (;;) {
            const ssize_t n = read(fd, bytes, sizeof bytes);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            pending.append(bytes, static_cast<std::size_t>(n));
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
                output(std::string_view(pending).substr(0, end));
                pending.erase(0, end + 1);
            }
        }
        if (!pending.empty())
            output(pending);
        close(fd);
    });
}

HostProcess::~HostProcess() {
    if (pid_ > 0)
        endAndReap(false);
    if (reader_.joinable())
        reader_.join();
}

std::string HostProcess::endAndReap(bool kill) {
    // Closing the channel's pipes tells a healthy host to end; one that does not is killed.
    channel_.reset();
    signal_.reset();
    if (!path_.empty())
        unlink(path_.c_str());
    path_.clear();
    int status = 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(2);
    if (kill)
        ::kill(pid_, SIGKILL);
    for (;;) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || (done < 0 && errno != EINTR))
            break;
        if (Clock::now() >= deadline) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        usleep(1000);
    }
    pid_ = -1;
    return describe(status);
}

void HostProcess::broken(const std::string &reason) {
    fail(Failure::Crashed, "broke the channel: " + reason);
}

void HostProcess::fail(Failure::Kind kind, std::string cause) {
    const std::string ended = endAndReap(kind == Failure::TimedOut);
    throw Failure{kind, cause.empty() ? ended : cause};
}

const std::string &HostProcess::exchange(std::string_view request,
                                         std::chrono::milliseconds limit) {
    if (pid_ <= 0)
        throw Failure{Failure::HostFailed, "the library host has ended"};
    const Clock::time_point deadline = Clock::now() + limit;
    const auto limitText = [&] {
        char text[64];
        const double seconds = std::chrono::duration<double>(limit).count();
        std::snprintf(text, sizeof text, "%g %s", seconds, seconds == 1 ? "second" : "seconds");
        return std::string(text);
    };
    try {
        Wait sent = channel_->send(request, deadline);
        Wait answered = sent == Wait::Ready ? channel_->receive(answer_, deadline) : sent;
        if (answered == Wait::TimedOut)
            fail(Failure::TimedOut, limitText());
        if (answered == Wait::PeerGone)
            fail(Failure::Crashed, {});
    } catch (const Malformed &malformed) {
        fail(Failure::Crashed, "broke the channel: " + malformed.reason);
    }
    return answer_;
}

}  // namespace qorhost
