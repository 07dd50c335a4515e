// Which export the process is inside right now, for the handlers that must name it when the
// process ends during a call (a fatal signal, abort(), or exit() called by the library).
#pragma once

namespace qorhost {

// The name of the export a call has entered and not yet left, or nullptr. Safe to read from
// a signal handler: one lock-free atomic load of a pointer to a string that never goes away.
const char *runningExport() noexcept;

// Marks `name` (a string with static storage) as running for the lifetime of the object.
class RunningExport {
  public:
    explicit RunningExport(const char *name) noexcept;
    ~RunningExport();
    RunningExport(const RunningExport &) = delete;
    RunningExport &operator=(const RunningExport &) = delete;

  private:
    const char *previous_;
};

}  // namespace qorhost
