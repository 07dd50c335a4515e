// Arbitrary text and decimals for CommaStr, and arbitrary 8 bytes as a double for Comma:
// a number text comes out grouped with exactly the decimals asked (clamped to 0..15), and
// any other text comes back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "qorlib145.h"

namespace {

// Checks the shape "-"? d{1,3}(,ddd)* ("." d{decimals})?.
bool grouped(const std::string &text, int decimals) {
    std::size_t i = text.empty() || text[0] != '-' ? 0 : 1;
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(i, point == std::string::npos ? point : point - i);
    if (whole.empty() || whole.size() % 4 == 0)
        return false;
    for (std::size_t k = 0; k < whole.size(); ++k) {
        const bool comma = (whole.size() - k) % 4 == 0;
        if (comma ? whole[k] != ',' : (whole[k] < '0' || whole[k] > '9'))
            return false;
    }
    if (decimals == 0)
        return point == std::string::npos;
    if (point == std::string::npos || text.size() - point - 1 != static_cast<std::size_t>(decimals))
        return false;
    return text.find_first_not_of("0123456789", point + 1) == std::string::npos;
}

// Blanks around, an optional sign, digits with at most one "." and at least one digit.
bool is_number(const std::string &text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return false;
    const std::size_t last = text.find_last_not_of(" \t");
    std::string core = text.substr(first, last - first + 1);
    if (core[0] == '-' || core[0] == '+')
        core.erase(0, 1);
    int digits = 0, points = 0;
    for (char c : core) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    return digits > 0 && points <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    const int32_t decimals = static_cast<int8_t>(data[0]);
    const int expected = decimals < 0 ? 0 : decimals > 15 ? 15 : decimals;
    const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::string number = text.substr(0, text.find('\0'));

    qor_text *result = CommaStr(number.c_str(), decimals);
    if (!result)
        std::abort();
    const std::string out(result->data, result->length);
    qor_text_free(result);
    if (is_number(number) ? !grouped(out, expected) : out != number)
        std::abort();

    if (text.size() >= 8) {
        double value;
        std::memcpy(&value, text.data(), sizeof value);
        qor_text *shown = Comma(value, decimals);
        if (!shown)
            std::abort();
        const std::string s(shown->data, shown->length);
        qor_text_free(shown);
        if (value == value && value - value == 0 && !grouped(s, expected))
            std::abort();
    }
    return 0;
}
