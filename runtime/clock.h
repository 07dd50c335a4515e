// The clock every timing in the rig reads. Tests install a fixed clock.
#pragma once

namespace rt {

class Clock {
  public:
    virtual ~Clock() = default;
    // Seconds since local midnight, as single precision.
    virtual float secondsSinceMidnight() = 0;
    // The current local date and time as a date value (days since 1899-12-30).
    virtual double now() = 0;
};

// The system clock, unless a test has installed another one.
Clock &clock();
// Installs `clock` (nullptr restores the system clock). The caller keeps ownership.
void setClock(Clock *clock);

// Shorthands for clock().secondsSinceMidnight() and clock().now().
inline float timer() {
    return clock().secondsSinceMidnight();
}
inline double now() {
    return clock().now();
}

}  // namespace rt
