// What testbed-report asks of the standard streams, behind one seam for POSIX and Windows.
#pragma once

#include <cstdio>

namespace apps {

// Whether `stream` (stdout or stderr) is a terminal.
bool isTerminal(std::FILE *stream);

// A standard stream the caller closed would be taken by the next file the program opens,
// and the report written into that file. Each closed one is held on the null device
// instead. Returns whether standard output was closed.
bool holdClosedStandardStreams();

}  // namespace apps
