// MatchCIDR on any block and address, against a bit-by-bit comparison: yes exactly when the
// address is complete and valid, the block reads as a dotted address (partial ones too)
// with an optional "/n" of one or two digits, n 0..32, or else a prefix of eight bits per
// part written, and the first n bits of both agree; yes and no are -1 and 0. Null texts give
// no, and the arguments are left as they were.
//
// Input: a shape byte, then block and address, separated by NULs. Shape bit 0 replaces the
// address by the dotted form of its first four bytes (bit 1: every part with three digits);
// bit 2 builds the block from the address instead, from the block text's first three bytes:
// the bit to flip (32: none), how many parts to write, and n, written when bit 3 is set
// (bit 4: as two digits; bit 5: a final "." after fewer than four parts).
#include <cstdint>
#include <optional>
#include <string>

#include "ip_reference.h"

namespace {

struct Block {
    std::uint32_t network;
    unsigned prefix;
};

std::optional<Block> block_of(const std::string &text) {
    const std::size_t slash = text.find('/');
    const auto parts = reference::dotted_parts(text.substr(0, slash));
    if (!parts)
        return std::nullopt;
    Block block{reference::value_of(*parts), static_cast<unsigned>(8 * parts->size())};
    if (slash != std::string::npos) {
        const std::string bits = text.substr(slash + 1);
        if (bits.empty() || bits.size() > 2 ||
            bits.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        block.prefix = static_cast<unsigned>(std::stoul(bits));
        if (block.prefix > 32)
            return std::nullopt;
    }
    return block;
}

bool holds(const Block &block, std::uint32_t address) {
    for (unsigned bit = 0; bit < block.prefix; ++bit)
        if ((block.network >> (31 - bit) & 1) != (address >> (31 - bit) & 1))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::uint8_t shape = data[0];
    const fuzz::Parts parts = fuzz::split(data + 1, size - 1, 2);
    std::string block = parts.texts[0];
    const std::string address = fuzz::shaped_address(parts.texts[1], shape);
    if (shape & 4) {
        const std::string b = block + std::string(3, '\0');
        const unsigned flip = static_cast<unsigned char>(b[0]) % 33;
        const unsigned count = static_cast<unsigned char>(b[1]) % 4 + 1;
        const unsigned n = static_cast<unsigned char>(b[2]) % 35;
        std::uint32_t value = fuzz::some_address(address);
        if (flip < 32)
            value ^= std::uint32_t{1} << flip;
        block = reference::written(value, count, false) + (count < 4 && (shape & 32) ? "." : "");
        if (shape & 8)
            block += "/" + std::string(n < 10 && (shape & 16) ? "0" : "") + std::to_string(n);
    }

    const auto range = block_of(block);
    const auto host = reference::address(address);
    const std::int16_t expected = range && host && holds(*range, *host) ? QOR_YES : QOR_NO;
    fuzz::check_match(MatchCIDR, block, address, expected);
    return 0;
}
