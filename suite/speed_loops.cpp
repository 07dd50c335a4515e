#include "sections.h"

namespace suite {

void SpeedLoopsAndFileRead(Run &) {}

}  // namespace suite
