// IPv4 addresses: dotted text to number and back, CIDR blocks and wildcard patterns.
#include <array>
#include <cmath>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "internal.h"

namespace {

// A dotted address as read: its value (missing trailing parts are 0) and how many parts
// were written.
struct Dotted {
    std::uint32_t value = 0;
    int parts = 0;
};

// Reads "a", "a.", "a.b", ... "a.b.c.d": one to four decimal parts of one to three digits
// each, 0..255, and an optional final "." after fewer than four parts. No blanks, no signs,
// no empty parts in between. Leading zeros are read as decimal ("010" is 10).
std::optional<Dotted> read_dotted(std::string_view text) {
    Dotted result;
    std::size_t i = 0;
    while (true) {
        if (result.parts == 4)
            return std::nullopt;  // a fifth part, or a "." after the fourth
        std::size_t digits = 0;
        unsigned part = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (++digits > 3)
                return std::nullopt;
            part = part * 10 + static_cast<unsigned>(text[i] - '0');
            ++i;
        }
        if (digits == 0 || part > 255)
            return std::nullopt;
        result.value |= static_cast<std::uint32_t>(part) << (8 * (3 - result.parts));
        ++result.parts;
        if (i == text.size())
            return result;
        if (text[i] != '.')
            return std::nullopt;
        ++i;
        if (i == text.size())
            return result.parts < 4 ? std::optional<Dotted>(result) : std::nullopt;
    }
}

// A complete address: exactly four parts.
std::optional<std::uint32_t> read_address(std::string_view text) {
    auto dotted = read_dotted(text);
    if (!dotted || dotted->parts != 4)
        return std::nullopt;
    return dotted->value;
}

struct Block {
    std::uint32_t network = 0;
    int prefix = 0;
};

// "a.b.c.d/n" with n 0..32 (one or two digits), or a dotted address without "/n", whose
// prefix is eight bits per part written.
std::optional<Block> read_block(std::string_view text) {
    const std::size_t slash = text.find('/');
    auto dotted = read_dotted(text.substr(0, slash));
    if (!dotted)
        return std::nullopt;
    Block block{dotted->value, dotted->parts * 8};
    if (slash != std::string_view::npos) {
        std::string_view bits = text.substr(slash + 1);
        if (bits.empty() || bits.size() > 2)
            return std::nullopt;
        int prefix = 0;
        for (char c : bits) {
            if (c < '0' || c > '9')
                return std::nullopt;
            prefix = prefix * 10 + (c - '0');
        }
        if (prefix > 32)
            return std::nullopt;
        block.prefix = prefix;
    }
    return block;
}

std::uint32_t prefix_mask(int prefix) {
    return prefix == 0 ? 0u : ~std::uint32_t{0} << (32 - prefix);
}

std::string dotted_text(std::uint32_t value) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24)
            text += '.';
        text += std::to_string((value >> shift) & 0xFF);
    }
    return text;
}

// Splits at "." into at most `limit` + 1 pieces (the extra one tells that there were more).
std::array<std::string_view, 5> split_parts(std::string_view text, int &count) {
    std::array<std::string_view, 5> parts{};
    count = 0;
    std::size_t start = 0;
    while (count < 5) {
        const std::size_t dot = text.find('.', start);
        parts[count++] = text.substr(start, dot == std::string_view::npos ? dot : dot - start);
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    return parts;
}

}  // namespace

extern "C" QOR_API double IPToLong(const char *address) {
    auto dotted = read_dotted(qorlib::arg(address));
    return dotted ? static_cast<double>(dotted->value) : -1.0;
}

extern "C" QOR_API qor_text *LongToIP(double value) {
    // Only whole numbers that an address can be; the comparisons are false for NaN.
    if (!(value >= 0.0 && value <= 4294967295.0) || std::trunc(value) != value)
        return qorlib::make_text("");
    try {
        return qorlib::make_text(dotted_text(static_cast<std::uint32_t>(value)));
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

extern "C" QOR_API int16_t MatchCIDR(const char *block, const char *address) {
    auto range = read_block(qorlib::arg(block));
    auto host = read_address(qorlib::arg(address));
    if (!range || !host)
        return QOR_NO;
    const std::uint32_t mask = prefix_mask(range->prefix);
    return (range->network & mask) == (*host & mask) ? QOR_YES : QOR_NO;
}

extern "C" QOR_API int16_t IPMatch(const char *pattern, const char *address) {
    auto host = read_address(qorlib::arg(address));
    std::string_view text = qorlib::arg(pattern);
    if (!host || text.empty())
        return QOR_NO;
    // A final "." only says that the parts after it are free.
    if (text.back() == '.')
        text.remove_suffix(1);
    int count = 0;
    const auto parts = split_parts(text, count);
    if (count > 4)
        return QOR_NO;
    try {
        for (int i = 0; i < count; ++i) {
            const std::string written = std::to_string((*host >> (8 * (3 - i))) & 0xFF);
            if (!qorlib::wildcard_match(parts[i], written))
                return QOR_NO;
        }
    } catch (const std::bad_alloc &) {
        return QOR_NO;
    }
    return QOR_YES;
}
