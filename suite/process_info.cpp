#include "sections.h"

namespace suite {

void ProcessInfo(Run &) {}

}  // namespace suite
