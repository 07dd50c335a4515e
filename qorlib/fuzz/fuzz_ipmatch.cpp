// Arbitrary pattern and address (split at the first NUL byte): yes or no only, yes only
// for a valid address, and "*" and the address in its plain form always match a valid one.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string input(reinterpret_cast<const char *>(data), size);
    const std::size_t cut = input.find('\0');
    const std::string pattern = input.substr(0, cut);
    std::string address = cut == std::string::npos ? std::string() : input.substr(cut + 1);
    address = address.substr(0, address.find('\0'));
    const int16_t answer = IPMatch(pattern.c_str(), address.c_str());
    if (answer != QOR_YES && answer != QOR_NO)
        std::abort();
    const bool valid = MatchCIDR("0.0.0.0/0", address.c_str()) == QOR_YES;
    if (answer == QOR_YES && !valid)
        std::abort();
    if (!valid)
        return 0;
    qor_text *plain = LongToIP(IPToLong(address.c_str()));
    if (!plain || IPMatch("*", address.c_str()) != QOR_YES ||
        IPMatch(plain->data, address.c_str()) != QOR_YES)
        std::abort();
    qor_text_free(plain);
    return 0;
}
