// The start-up helpers of the rig: is the library there, and which version is it.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "rigerror.h"

namespace rig {

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
// True when the library answered LibVersion. A failure is logged as an error entry, and
// handed to `failure` when given.
bool IsDLLInstalled(rt::RigError *failure = nullptr);

// The functions the rig calls, and those of them that the library lacks. The library must
// be loaded in this process to be asked; in its host process it is not, and nothing is
// known (nullopt).
int CalledFunctionCount();
std::optional<QStringList> MissingFunctions();

// The library's version text ("1.25" for 125), or "0.00" when LibVersion fails or its value
// does not fit 16 bits (logged as a warning entry).
QString DLLVersion();

// The version text of a LibVersion value: three characters become d.dd ("125" -> "1.25",
// "-12" -> "-.12"), any other length stays as it is ("99", "1250"). Raises the overflow
// error when the value does not fit a 16-bit integer.
QString versionText(std::int32_t libVersion);

}  // namespace rig
