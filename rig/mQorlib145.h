// The start-up helpers of the rig and TrimAtNul, which the test sections use to cut text
// results at a NUL.
#pragma once

#include <QString>
#include <cstdint>

namespace rig {

// Cuts `text` at its first NUL (character code 0), stores the cut text back and returns it.
// The position is held as a 16-bit integer: a NUL beyond position 32767 counts as not found.
QString TrimAtNul(QString &text);

// ---- The application event log --------------------------------------------------------
enum class EventKind { Error, Warning };

class EventLog {
  public:
    virtual ~EventLog() = default;
    virtual void write(const QString &text, EventKind kind) = 0;
};

// The log in use: the system log (identifier SYSLOG_IDENTIFIER) unless a test installed
// another one.
EventLog &eventLog();
// Installs `log` (nullptr restores the system log). The caller keeps ownership.
void setEventLog(EventLog *log);

inline constexpr const char *SYSLOG_IDENTIFIER = "zentrak-testbed";

// ---- Library presence and version -------------------------------------------------------
// True when the library answered LibVersion. A failure is logged as an error entry.
bool IsDLLInstalled();

// The library's version text ("1.25" for 125), or "0.00" when LibVersion fails or its value
// does not fit 16 bits (logged as a warning entry).
QString DLLVersion();

// The version text of a LibVersion value: three characters become d.dd ("125" -> "1.25",
// "-12" -> "-.12"), any other length stays as it is ("99", "1250"). Raises the overflow
// error when the value does not fit a 16-bit integer.
QString versionText(std::int32_t libVersion);

}  // namespace rig
