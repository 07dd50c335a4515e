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
