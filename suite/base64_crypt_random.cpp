#include "sections.h"

namespace suite {

void Base64EncryptionRandom(Run &) {}

}  // namespace suite
