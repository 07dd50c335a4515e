#include "sections.h"

namespace suite {

void TrimmingAndConversion(Run &) {}

}  // namespace suite
