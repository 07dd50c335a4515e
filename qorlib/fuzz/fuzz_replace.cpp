// Splits arbitrary bytes into subject, text to find and replacement at the first two
// 0x01 bytes, and compares Replace with a plain reference.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "qorlib145.h"

namespace {

std::string reference(const std::string &subject, const std::string &find,
                      const std::string &with) {
    if (find.empty())
        return subject;
    std::string out;
    size_t i = 0;
    while (i < subject.size()) {
        if (subject.compare(i, find.size(), find) == 0) {
            out += with;
            i += find.size();
        } else {
            out += subject[i++];
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string all(reinterpret_cast<const char *>(data), size);
    all = all.substr(0, std::strlen(all.c_str()));  // by-value texts end at a NUL
    size_t a = all.find('\x01');
    size_t b = a == std::string::npos ? a : all.find('\x01', a + 1);
    std::string subject = all.substr(0, a);
    std::string find = a == std::string::npos ? "" : all.substr(a + 1, b - a - 1);
    std::string with = b == std::string::npos ? "" : all.substr(b + 1);

    qor_text *result = Replace(subject.c_str(), find.c_str(), with.c_str());
    std::string want = reference(subject, find, with);
    if (!result || std::string(result->data, result->length) != want)
        std::abort();
    qor_text_free(result);
    return 0;
}
