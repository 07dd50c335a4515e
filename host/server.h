// The host's side of the channel: answers the rig's requests by calling the library it
// loaded. Kept apart from the process around it so tests and the fuzz target drive it.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "calls.h"

namespace qorhost {

class Server {
  public:
    // Looks up an export of the loaded library (nullptr when it lacks it).
    using Symbols = std::function<void *(const char *name)>;

    // A server that loads the library the rig names, through the system's loader.
    Server() = default;
    // A server whose library is already there (for tests): Load requests just succeed.
    explicit Server(Symbols symbols);

    // Answers one request. Raises Malformed for a request that breaks the format.
    std::string handle(std::string_view request);

  private:
    std::string load(class Reader &r);
    std::string call(class Reader &r);
    // The export's address, looked up once; nullptr when the library lacks it.
    void *address(std::uint16_t index);
    void adopt(Symbols symbols);

    Symbols symbols_;
    bool given_ = false;
    Allocator allocator_;
    std::array<void *, EXPORT_COUNT> addresses_{};
};

}  // namespace qorhost
