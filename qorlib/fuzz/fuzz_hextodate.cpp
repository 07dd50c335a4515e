// HexToDate with any text; a valid text must come back unchanged (upper case) through
// DateToHex.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::string hex(reinterpret_cast<const char *>(data), size);
    const double date = HexToDate(hex.c_str());
    hex.resize(std::strlen(hex.c_str()));  // the library reads up to the first NUL

    bool valid = hex.size() == 16;
    for (char c : hex)
        valid = valid && std::isxdigit(static_cast<unsigned char>(c));
    if (!valid) {
        if (date != 0.0 || std::signbit(date))
            std::abort();
        return 0;
    }
    qor_text *back = DateToHex(date);
    if (!back || back->length != 16)
        std::abort();
    for (std::size_t i = 0; i < 16; ++i)
        if (back->data[i] != std::toupper(static_cast<unsigned char>(hex[i])))
            std::abort();
    qor_text_free(back);
    return 0;
}
