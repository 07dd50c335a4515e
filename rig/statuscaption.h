#pragma once

#include <QString>

#include "host.h"

namespace rig {

// Rebuilds the window caption: the base caption with the rig's version, and for a non-empty
// `text` (the loop progress) the text, the process id and the memory in use.
void ShowStatusCaption(suite::Host &host, const QString &text);

}  // namespace rig
