// The searches InChr, InChrRev, InStrI and InStrRev on any text and needle, against the
// standard library's find and rfind (InStrI on both texts folded to lower case).
//
// Input: a shape byte, a 16-bit code for InChr/InChrRev, two repeat counts, then the text
// unit, the needle unit, a needle tail and a text tail, separated by NULs. The text is its
// unit repeated, the needle its unit repeated, each followed by its tail, so that long
// periodic texts and needles that almost match everywhere ("aaa...ab") come up often: after
// a long run of such near misses the search changes strategy, and the text's tail then
// holds whatever follows. A shape bit swaps the case of every other letter of the needle.
#include <cstdint>
#include <string>

#include "fuzz_support.h"

namespace {

constexpr std::size_t kMaxText = 1 << 16;
constexpr std::size_t kMaxNeedle = 1 << 12;

// Upper case to lower and back, ASCII and Latin-1 letters only.
char swap_case(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (fuzz::fold(u) != u)
        return static_cast<char>(u + 32);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
        return static_cast<char>(u - 32);
    return c;
}

std::int32_t position(std::size_t index) {
    return index == std::string::npos ? 0 : static_cast<std::int32_t>(index + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 5)
        return 0;
    const std::uint8_t shape = data[0];
    const auto code = static_cast<std::int16_t>(data[1] | data[2] << 8);
    const std::size_t text_times = (shape & 1) ? data[3] + 1u : 1;
    const std::size_t needle_times = (shape & 1) ? data[4] % 16 + 1u : 1;
    const fuzz::Parts parts = fuzz::split(data + 5, size - 5, 4);
    const std::string text = fuzz::repeated(parts.texts[0], text_times, kMaxText) + parts.texts[3];
    std::string needle = fuzz::repeated(parts.texts[1], needle_times, kMaxNeedle) + parts.texts[2];
    if (shape & 2)
        for (std::size_t i = 0; i < needle.size(); i += 2)
            needle[i] = swap_case(needle[i]);

    std::string text_arg = text, needle_arg = needle;  // must stay as they are
    const bool findable = !needle.empty();

    const std::int32_t insensitive = InStrI(text_arg.c_str(), needle_arg.c_str());
    FUZZ_REQUIRE(insensitive ==
                 (findable ? position(fuzz::folded(text).find(fuzz::folded(needle))) : 0));
    const std::int32_t last = InStrRev(text_arg.c_str(), needle_arg.c_str());
    FUZZ_REQUIRE(last == (findable ? position(text.rfind(needle)) : 0));
    // A case-sensitive match is also one without regard to case, and the first one comes
    // no later than the last.
    FUZZ_REQUIRE(last == 0 || (insensitive != 0 && insensitive <= last));

    const bool byte = code >= 1 && code <= 255;
    const char c = static_cast<char>(code);
    FUZZ_REQUIRE(InChr(text_arg.c_str(), code) == (byte ? position(text.find(c)) : 0));
    FUZZ_REQUIRE(InChrRev(text_arg.c_str(), code) == (byte ? position(text.rfind(c)) : 0));
    FUZZ_REQUIRE(text_arg == text && needle_arg == needle);

    // Null texts find nothing and are found nowhere.
    FUZZ_REQUIRE(InStrI(nullptr, needle.c_str()) == 0 && InStrI(text.c_str(), nullptr) == 0);
    FUZZ_REQUIRE(InStrRev(nullptr, needle.c_str()) == 0 && InStrRev(text.c_str(), nullptr) == 0);
    FUZZ_REQUIRE(InChr(nullptr, code) == 0 && InChrRev(nullptr, code) == 0);
    return 0;
}
