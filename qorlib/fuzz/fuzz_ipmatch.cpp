// IPMatch on any pattern and address, against a part-by-part wildcard match: yes exactly
// when the address is complete and valid, the pattern is not empty and, without one final
// ".", has at most four parts, and each part matches the address's part in plain decimal
// ("*" any run, "?" one digit, anything else itself; parts not written are free); yes and
// no are -1 and 0. Null texts give no, and the arguments are left as they were.
//
// Input: a shape byte, then pattern and address, separated by NULs. Shape bit 0 replaces
// the address by the dotted form of its first four bytes (bit 1: every part with three
// digits); bit 2 builds the pattern from the address in plain form instead, one pattern
// text byte per character saying whether to keep it, make it "?" or "*", drop it or write
// another digit; bit 3 then adds a final ".", bit 4 a fifth part.
#include <cstdint>
#include <string>

#include "ip_reference.h"

namespace {

bool matches(std::string pattern, std::uint32_t address) {
    if (pattern.empty())
        return false;
    if (pattern.back() == '.')
        pattern.pop_back();
    const std::vector<std::string> wanted = reference::pieces(pattern);
    if (wanted.size() > 4)
        return false;
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (!fuzz::wildcard(wanted[i], std::to_string(address >> (24 - 8 * i) & 255)))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::uint8_t shape = data[0];
    const fuzz::Parts parts = fuzz::split(data + 1, size - 1, 2);
    std::string pattern = parts.texts[0];
    const std::string address = fuzz::shaped_address(parts.texts[1], shape);
    if (shape & 4) {
        const std::string plain = reference::dotted(fuzz::some_address(address));
        std::string built;
        for (std::size_t i = 0; i < plain.size(); ++i) {
            const unsigned op = i < pattern.size() ? static_cast<unsigned char>(pattern[i]) : 0;
            switch (op % 6) {
                case 2:
                    built += '?';
                    break;
                case 3:
                    built += '*';
                    break;
                case 4:
                    break;
                case 5:
                    built += static_cast<char>('0' + op / 6 % 10);
                    break;
                default:
                    built += plain[i];
            }
        }
        pattern = built + (shape & 8 ? "." : "") + (shape & 16 ? ".*" : "");
    }

    const auto host = reference::address(address);
    const std::int16_t expected = host && matches(pattern, *host) ? QOR_YES : QOR_NO;
    fuzz::check_match(IPMatch, pattern, address, expected);
    return 0;
}
