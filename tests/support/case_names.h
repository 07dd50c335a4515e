// Names for parameterised test cases, built from a text of the case.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace testing_support {

// Letters and digits are kept, "-" becomes "Minus" and "." "_"; anything else is dropped and
// the letter after it written in capitals: "Looped in -86399.5 secs" -> "LoopedInMinus86399_5Secs".
inline std::string caseName(std::string_view text) {
    std::string name;
    bool capital = true;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u)) {
            name += capital ? static_cast<char>(std::toupper(u)) : c;
            capital = false;
        } else if (c == '-') {
            name += "Minus";
            capital = false;
        } else if (c == '.') {
            name += '_';
            capital = false;
        } else {
            capital = true;
        }
    }
    return name;
}

}  // namespace testing_support
