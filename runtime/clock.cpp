// The system clock and the switch that lets tests install their own.
#include "clock.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <atomic>

namespace rt {

namespace {

class SystemClock final : public Clock {
  public:
    float secondsSinceMidnight() override {
        return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0f;
    }

    double now() override {
        // The wall time as the user sees it, whatever its offset from UTC.
        const QDateTime local = QDateTime::currentDateTime();
        const qint64 days = QDate(1899, 12, 30).daysTo(local.date());
        return static_cast<double>(days) +
               static_cast<double>(local.time().msecsSinceStartOfDay()) / 86400000.0;
    }
};

std::atomic<Clock *> installed{nullptr};

}  // namespace

Clock &clock() {
    static SystemClock system;
    Clock *current = installed.load();
    return current != nullptr ? *current : system;
}

void setClock(Clock *clock) {
    installed.store(clock);
}

}  // namespace rt
