#include "sections.h"

namespace suite {

void DateConversions(Run &) {}

}  // namespace suite
