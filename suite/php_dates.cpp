#include "sections.h"

namespace suite {

void PhpDates(Run &) {}

}  // namespace suite
