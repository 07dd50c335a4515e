#include "sections.h"

namespace suite {

void IpAndCidr(Run &) {}

}  // namespace suite
