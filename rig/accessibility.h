// What a screen reader learns of the window: the window itself with the window role, and
// the status picture as a status bar whose printed lines are its text.
#pragma once

namespace rig {

// Installs the accessible interfaces of Form1 and the status picture (once per process).
void installAccessibility();

}  // namespace rig
