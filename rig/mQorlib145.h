// The start-up helpers of the rig and TrimAtNul, which the test sections use to cut text
// results at a NUL.
#pragma once

#include <QString>

namespace rig {

// Cuts `text` at its first NUL (character code 0), stores the cut text back and returns it.
// The position is held as a 16-bit integer: a NUL beyond position 32767 counts as not found.
QString TrimAtNul(QString &text);

}  // namespace rig
