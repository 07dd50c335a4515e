// StrRev of any text: the bytes up to the first NUL in reverse order, a NUL-terminated
// result of exactly that length, reversing twice gives the text back, and the argument is
// left as it was.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string text = fuzz::split(data, size, 1).texts[0];
    std::string argument = text;  // a copy that must stay as it is
    const std::string reversed = fuzz::take(StrRev(argument.c_str()));
    FUZZ_REQUIRE(argument == text);
    FUZZ_REQUIRE(reversed == std::string(text.rbegin(), text.rend()));
    FUZZ_REQUIRE(fuzz::take(StrRev(reversed.c_str())) == text);
    FUZZ_REQUIRE(fuzz::take(StrRev(nullptr)).empty());
    return 0;
}
