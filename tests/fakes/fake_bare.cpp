// A library that has the right version and nothing else: every other call of the rig
// fails with "Can't find DLL entry point".
#include "qorlib145.h"

extern "C" QOR_API int32_t LibVersion(void) {
    return 125;
}
