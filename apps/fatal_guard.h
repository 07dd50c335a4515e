// A process that ends inside a library call must not look like a clean run: whoever reads
// the exit status and standard error learns that the library ended it, and in which export.
#pragma once

namespace apps {

// Installs, for the rest of the process:
// - handlers of SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT, run on an alternate stack so a
//   stack overflow is caught too. During a library call they write "<program>: the library
//   crashed in <export>: <signal> (<what>)" to standard error, followed by "; <note>" when
//   `crashNote` is given; either way the signal then takes its default action, so the
//   status is the usual one of that signal.
// - an exit handler: exit() called during a library call writes "<program>: the library
//   ended the process (exit) in <export>" and ends the process with status 70.
// Both strings must live as long as the process. Call it once, early in main.
void installFatalGuard(const char *programName, const char *crashNote = nullptr);

// The status of a process the library ended with exit() during a call.
constexpr int LIBRARY_ENDED_PROCESS = 70;

}  // namespace apps
