#include "sections.h"

namespace suite {

void BitsUrlReplaceRotateHex(Run &) {}

}  // namespace suite
