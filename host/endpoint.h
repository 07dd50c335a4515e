// What each system supplies to a channel's end: the mapped file and the pipe signal.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "channel.h"

namespace qorhost {

struct Mapping {
    void *memory = nullptr;
    std::size_t size = 0;
    Mapping() = default;
    Mapping(const Mapping &) = delete;
    Mapping &operator=(const Mapping &) = delete;
    ~Mapping();
};

// Maps the whole file at `path` (the host's end). Raises Malformed with the reason.
std::unique_ptr<Mapping> openMapping(const std::string &path);

#if !defined(_WIN32)
// Makes a new file of `size` bytes in a folder for temporary files and maps it (the rig's
// end); `path` receives its name. Raises Failure{HostFailed} with the reason.
std::unique_ptr<Mapping> createMapping(std::size_t size, std::string &path);

// The signal over two pipe descriptors, which it closes.
std::unique_ptr<Signal> pipeSignal(int readEnd, int writeEnd);
#else
// The signal over two pipe handles.
std::unique_ptr<Signal> pipeSignal(void *readEnd, void *writeEnd);
#endif

}  // namespace qorhost
