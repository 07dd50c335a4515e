// Arbitrary block and address (split at the first NUL byte): the answer is yes or no, and
// yes only for a complete valid address; a block /0 holds every valid address.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string input(reinterpret_cast<const char *>(data), size);
    const std::size_t cut = input.find('\0');
    const std::string block = input.substr(0, cut);
    std::string address = cut == std::string::npos ? std::string() : input.substr(cut + 1);
    address = address.substr(0, address.find('\0'));
    const int16_t answer = MatchCIDR(block.c_str(), address.c_str());
    if (answer != QOR_YES && answer != QOR_NO)
        std::abort();
    const bool valid = IPToLong(address.c_str()) != -1.0 &&
                       std::count(address.begin(), address.end(), '.') == 3 &&
                       address.back() != '.';
    if (answer == QOR_YES && !valid)
        std::abort();
    if (valid && MatchCIDR("0.0.0.0/0", address.c_str()) != QOR_YES)
        std::abort();
    if (valid && MatchCIDR(address.c_str(), address.c_str()) != QOR_YES)
        std::abort();
    return 0;
}
