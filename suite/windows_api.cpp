#include "sections.h"

namespace suite {

void WindowsApi(Run &) {}

}  // namespace suite
