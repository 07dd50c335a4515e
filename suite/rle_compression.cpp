#include "sections.h"

namespace suite {

void RleCompression(Run &) {}

}  // namespace suite
