// Replace on any subject, text to find and replacement, against a loop over the standard
// library's find: every occurrence replaced, left to right without overlaps, the inserted
// text not searched again; an empty or null text to find gives the subject back, a null
// replacement is empty, a null subject gives "". The arguments are left as they were.
//
// Input: a shape byte, two repeat counts, then the subject unit, a subject tail, the needle
// unit, a needle tail and the replacement, separated by NULs. With shape bit 0 the subject
// is its unit repeated and the needle its unit repeated, each followed by its tail, so that
// long periodic needles that almost match everywhere come up: after a long run of such near
// misses the search changes strategy, and the subject's tail then holds whatever follows;
// bit 1 puts the needle once more in the middle of the subject. Bits 2, 3 and 4 pass a null
// subject, needle or replacement.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"

namespace {

constexpr std::size_t kMaxSubject = 1 << 16;
constexpr std::size_t kMaxNeedle = 1 << 12;
// Short enough that a subject full of one-byte matches stays a few MiB.
constexpr std::size_t kMaxReplacement = 64;

std::string replaced(const std::string &subject, const std::string &find, const std::string &with) {
    if (find.empty())
        return subject;
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = subject.find(find, from)) != std::string::npos;
         from = at + find.size())
        out += subject.substr(from, at - from) + with;
    return out + subject.substr(from);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 3)
        return 0;
    const std::uint8_t shape = data[0];
    const std::size_t subject_times = (shape & 1) ? data[1] * 4u + 1 : 1;
    const std::size_t needle_times = (shape & 1) ? data[2] + 1u : 1;
    const fuzz::Parts parts = fuzz::split(data + 3, size - 3, 5);
    std::string subject =
        fuzz::repeated(parts.texts[0], subject_times, kMaxSubject) + parts.texts[1];
    const std::string find =
        fuzz::repeated(parts.texts[2], needle_times, kMaxNeedle) + parts.texts[3];
    const std::string with = parts.texts[4].substr(0, kMaxReplacement);
    if (shape & 2)
        subject.insert(subject.size() / 2, find);

    std::string subject_arg = subject, find_arg = find, with_arg = with;
    const char *s = shape & 4 ? nullptr : subject_arg.c_str();
    const char *f = shape & 8 ? nullptr : find_arg.c_str();
    const char *w = shape & 16 ? nullptr : with_arg.c_str();
    const std::string result = fuzz::take(Replace(s, f, w));
    FUZZ_REQUIRE(result == replaced(s ? subject : "", f ? find : "", w ? with : ""));
    FUZZ_REQUIRE(subject_arg == subject && find_arg == find && with_arg == with);
    return 0;
}
