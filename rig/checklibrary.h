#pragma once

#include <QString>
#include <functional>

#include "host.h"
#include "rigerror.h"
#include "shell.h"

namespace rig {

// The title and text of the box shown when the library cannot be called at all: `failure`
// is the error of its first call. A library that is nowhere lists the places searched; one
// that is there but does not load is named with the loader's reason.
inline const QString MISSING_LIBRARY_TITLE = QStringLiteral("Missing DLL - Cannot continue");
QString missingLibraryMessage(const rt::RigError &failure);

// The status picture's line for a library that lacks `missing` of the rig's `called` functions.
QString functionsFoundLine(int missing, int called);

// Checks that the library answers and is not older than the rig, prints the verdict and the
// Windows version on the status picture and enables the run buttons only for a good library.
// When the library cannot be called it shows the missing-library box and then calls
// `endProgram`, and returns without doing anything more.
void CheckLibrary(suite::Host &host, RunButtons &buttons, const std::function<void()> &endProgram);

}  // namespace rig
