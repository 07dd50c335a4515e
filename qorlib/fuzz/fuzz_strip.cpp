// StripL, StripR, StripLStr and StripRStr on any text and character set (split at the
// first NUL), against plain loops: StripL and StripR remove copies of the set's first
// byte only, the Str forms every byte of the set; an empty set leaves the text whole, and
// neither argument changes.
#include <cstdint>
#include <string>

#include "fuzz_support.h"

namespace {

std::string strip_left(const std::string &text, const std::string &set) {
    std::size_t from = 0;
    while (from < text.size() && set.find(text[from]) != std::string::npos)
        ++from;
    return text.substr(from);
}

std::string strip_right(const std::string &text, const std::string &set) {
    std::size_t to = text.size();
    while (to > 0 && set.find(text[to - 1]) != std::string::npos)
        --to;
    return text.substr(0, to);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const fuzz::Parts parts = fuzz::split(data, size, 2);
    const std::string &text = parts.texts[0];
    const std::string &set = parts.texts[1];
    const std::string first = set.substr(0, 1);
    std::string text_arg = text, set_arg = set;  // must stay as they are
    const char *t = text_arg.c_str();
    const char *s = set_arg.c_str();

    FUZZ_REQUIRE(fuzz::take(StripL(t, s)) == strip_left(text, first));
    FUZZ_REQUIRE(fuzz::take(StripR(t, s)) == strip_right(text, first));
    FUZZ_REQUIRE(fuzz::take(StripLStr(t, s)) == strip_left(text, set));
    FUZZ_REQUIRE(fuzz::take(StripRStr(t, s)) == strip_right(text, set));
    FUZZ_REQUIRE(text_arg == text && set_arg == set);

    // A null set is an empty one; a null text gives an empty text.
    FUZZ_REQUIRE(fuzz::take(StripL(t, nullptr)) == text);
    FUZZ_REQUIRE(fuzz::take(StripRStr(t, nullptr)) == text);
    FUZZ_REQUIRE(fuzz::take(StripR(nullptr, s)).empty());
    FUZZ_REQUIRE(fuzz::take(StripLStr(nullptr, s)).empty());
    return 0;
}
