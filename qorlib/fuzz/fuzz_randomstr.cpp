// Randomise and RandomStr with any seed and a series of lengths and modes: each text has
// the documented length (0 for none) and only characters of its mode's set, runs of mode 8 last 1
// to 12 letters, and a seed gives the texts it always gave: they are compared with a copy of the
// generator as it was first written.
//
// Input: a 32-bit seed, then four bytes per call: the length in two bytes (12 bits used), a
// byte that asks for a length of 0 or less (top bit) or one 16 times longer (0x40), and
// the mode (signed). (The 16 MiB cap is left to the unit tests: too slow here.)
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "random_reference.h"

namespace {

constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The texts a seeded generator gives: one draw per character (two per run in mode 8).
class Reference {
  public:
    explicit Reference(std::int32_t seed) : draws_(seed) {}

    std::string text(std::int32_t length, std::int32_t mode) {
        std::string out(static_cast<std::size_t>(length < 0 ? 0 : length), '\0');
        if (mode == 8) {
            std::uint32_t previous = kLetters.size();
            for (std::size_t i = 0; i < out.size();) {
                std::uint32_t letter = below(kLetters.size() - 1);
                letter += letter >= previous;
                previous = letter;
                for (std::uint32_t n = 1 + below(12); n > 0 && i < out.size(); --n)
                    out[i++] = kLetters[letter];
            }
            return out;
        }
        const std::string_view set = alphabet(mode);
        for (char &c : out) {
            if (mode == 4)
                c = static_cast<char>(33 + below(94));
            else if (mode == 5)
                c = static_cast<char>(1 + below(255));
            else
                c = set[below(static_cast<std::uint32_t>(set.size()))];
        }
        return out;
    }

    static std::string_view alphabet(std::int32_t mode) {
        switch (mode) {
            case 1:
                return kLetters.substr(26);
            case 2:
                return kLetters.substr(0, 26);
            case 3:
                return "0123456789";
            case 6:
                return "0123456789ABCDEF";
            default:
                return kLetters;
        }
    }

  private:
    std::uint32_t below(std::uint32_t bound) { return draws_.below(bound); }

    fuzz::ReferenceDraws draws_;
};

// Whether every character belongs to the mode's set.
bool in_set(const std::string &text, std::int32_t mode) {
    bool allowed[256] = {};
    for (unsigned c = 0; c < 256; ++c)
        allowed[c] = mode == 4   ? c >= 33 && c <= 126
                     : mode == 5 ? c != 0
                                 : Reference::alphabet(mode).find(static_cast<char>(c)) !=
                                       std::string_view::npos;
    for (const char c : text)
        if (!allowed[static_cast<unsigned char>(c)])
            return false;
    return true;
}

// Mode 8: neighbouring runs differ, so every run of equal letters is one drawn run.
bool runs_fit(const std::string &text) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        run = i > 0 && text[i] == text[i - 1] ? run + 1 : 1;
        if (run > 12)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 4)
        return 0;
    const auto seed = static_cast<std::int32_t>(data[0] | data[1] << 8 | data[2] << 16 |
                                                static_cast<std::uint32_t>(data[3]) << 24);
    // Seed 0 draws from entropy: lengths and sets still hold, the texts are not known.
    std::optional<Reference> reference;
    if (seed != 0)
        reference.emplace(seed);
    Randomise(seed);
    for (std::size_t at = 4; at + 4 <= size && at < 4 + 4 * 16; at += 4) {
        const std::int32_t low = (data[at] | data[at + 1] << 8) & 0x0FFF;
        const std::uint8_t kind = data[at + 2];
        const auto mode = static_cast<std::int32_t>(static_cast<std::int8_t>(data[at + 3]));
        std::int32_t length = low;
        if (kind & 0x80)
            length = kind & 0x40 ? INT32_MIN + low : -low;
        else if (kind & 0x40)
            length = low << 4;
        const std::string text = fuzz::take(RandomStr(length, mode));
        const std::size_t expected = length <= 0 ? 0 : static_cast<std::size_t>(length);
        FUZZ_REQUIRE(text.size() == expected);
        FUZZ_REQUIRE(in_set(text, mode));
        FUZZ_REQUIRE(mode != 8 || runs_fit(text));
        if (reference)
            FUZZ_REQUIRE(text == reference->text(static_cast<std::int32_t>(expected), mode));
    }
    return 0;
}
