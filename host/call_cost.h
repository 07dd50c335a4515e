// What a call of the library costs: its time, and the memory resident in the process it
// runs in. The host measures its calls with these, and the rig those it makes directly.
#pragma once

#include <chrono>
#include <cstdint>

namespace qorhost {

// Bytes of this process resident in memory now; 0 when the system does not say.
std::uint64_t residentBytes();

// Nanoseconds since it was made; a clock that is not `running` reads nothing and says 0.
class CallClock {
  public:
    explicit CallClock(bool running = true)
        : start_(running ? std::chrono::steady_clock::now()
                         : std::chrono::steady_clock::time_point{}) {}
    std::uint64_t elapsed() const {
        if (start_ == std::chrono::steady_clock::time_point{})
            return 0;
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                              std::chrono::steady_clock::now() - start_)
                                              .count());
    }

  private:
    std::chrono::steady_clock::time_point start_;
};

}  // namespace qorhost
