// What a call of the library costs: its time, and the memory resident in the process it
// runs in. The host measures its calls with these, and the rig those it makes directly.
#pragma once

#include <chrono>
#include <cstdint>

namespace qorhost {

// Bytes of this process resident in memory now; 0 when the system does not say.
std::uint64_t residentBytes();

class CallClock {
  public:
    std::uint64_t elapsed() const {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                              std::chrono::steady_clock::now() - start_)
                                              .count());
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace qorhost
