// Plain statements of how the IPv4 functions read dotted addresses, blocks and wildcard
// patterns, for the fuzz targets to check the library against.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace reference {

// The pieces of `text` between dots, empty ones included.
inline std::vector<std::string> pieces(const std::string &text) {
    std::vector<std::string> out(1);
    for (const char c : text) {
        if (c == '.')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

// The parts of a dotted address: one to four pieces of one to three decimal digits, each
// 0..255, with one final "." allowed after fewer than four.
inline std::optional<std::vector<unsigned>> dotted_parts(const std::string &text) {
    std::vector<std::string> written = pieces(text);
    if (written.size() > 1 && written.size() <= 4 && written.back().empty())
        written.pop_back();
    if (written.size() > 4)
        return std::nullopt;
    std::vector<unsigned> parts;
    for (const std::string &piece : written) {
        if (piece.empty() || piece.size() > 3 ||
            piece.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        parts.push_back(static_cast<unsigned>(std::stoul(piece)));
        if (parts.back() > 255)
            return std::nullopt;
    }
    return parts;
}

// The value of the parts, missing trailing ones 0.
inline std::uint32_t value_of(const std::vector<unsigned> &parts) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value * 256 + (i < parts.size() ? parts[i] : 0u);
    return value;
}

// A complete address: four parts.
inline std::optional<std::uint32_t> address(const std::string &text) {
    const auto parts = dotted_parts(text);
    if (!parts || parts->size() != 4)
        return std::nullopt;
    return value_of(*parts);
}

// The first `count` parts of `value`, dotted, each padded to three digits when `padded`.
inline std::string written(std::uint32_t value, unsigned count, bool padded) {
    std::string text;
    for (unsigned i = 0; i < count; ++i) {
        char part[8];
        std::snprintf(part, sizeof part, padded ? "%03u" : "%u", value >> (24 - 8 * i) & 255);
        text += (i ? "." : "") + std::string(part);
    }
    return text;
}

inline std::string dotted(std::uint32_t value) {
    return written(value, 4, false);
}

}  // namespace reference

namespace fuzz {

// The address text of an input: with `shape` bit 0 the dotted form of the text's first
// four bytes (bit 1: every part with three digits), else the text itself.
inline std::string shaped_address(const std::string &text, std::uint8_t shape) {
    if (!(shape & 1))
        return text;
    return reference::written(static_cast<std::uint32_t>(int32_from(text)), 4, shape & 2);
}

// The address an address text stands for: its value when it is one, else its first bytes.
inline std::uint32_t some_address(const std::string &text) {
    return reference::address(text).value_or(static_cast<std::uint32_t>(int32_from(text)));
}

// A yes/no export of (pattern, address) gives `expected`, leaves its arguments as they
// were, and says no to a null text.
template <class Match>
void check_match(Match match, const std::string &pattern, const std::string &address,
                 std::int16_t expected) {
    std::string pattern_arg = pattern, address_arg = address;
    FUZZ_REQUIRE(match(pattern_arg.c_str(), address_arg.c_str()) == expected);
    FUZZ_REQUIRE(pattern_arg == pattern && address_arg == address);
    FUZZ_REQUIRE(match(nullptr, address.c_str()) == QOR_NO);
    FUZZ_REQUIRE(match(pattern.c_str(), nullptr) == QOR_NO);
}

}  // namespace fuzz
