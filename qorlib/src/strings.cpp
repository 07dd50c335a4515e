// Text: reversing, searching, stripping and replacing.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "internal.h"
#include "search.h"

namespace {

// Texts never exceed QOR_TEXT_MAX (1 GiB), so every position fits an int32_t.
int32_t position(size_t index) noexcept {
    return index == std::string_view::npos ? 0 : static_cast<int32_t>(index + 1);
}

// The bytes of `set`, one flag each, so that stripping costs one look-up per byte.
std::array<bool, 256> members(std::string_view set) noexcept {
    std::array<bool, 256> in{};
    for (char c : set)
        in[static_cast<unsigned char>(c)] = true;
    return in;
}

// A code outside 1..255 names no byte a text can hold before its terminator.
bool valid_code(int16_t code) noexcept {
    return code >= 1 && code <= 255;
}

}  // namespace

extern "C" QOR_API qor_text *StrRev(const char *text) {
    std::string_view in = qorlib::arg(text);
    qor_text *out = qorlib::new_text(in.size());
    if (!out)
        return nullptr;
    // Eight bytes at a time from the end, each word turned around.
    const char *end = in.data() + in.size();
    size_t i = 0;
    for (; i + 8 <= in.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, end - i - 8, 8);
        word = qorlib::reverse_bytes(word);
        std::memcpy(out->data + i, &word, 8);
    }
    for (; i < in.size(); ++i)
        out->data[i] = end[-1 - static_cast<ptrdiff_t>(i)];
    return out;
}

extern "C" QOR_API int32_t InChr(const char *text, int16_t code) {
    if (!valid_code(code))
        return 0;
    return position(qorlib::arg(text).find(static_cast<char>(code)));
}

extern "C" QOR_API int32_t InChrRev(const char *text, int16_t code) {
    if (!valid_code(code))
        return 0;
    return position(qorlib::arg(text).rfind(static_cast<char>(code)));
}

extern "C" QOR_API int32_t InStrI(const char *text, const char *find) {
    std::string_view what = qorlib::arg(find);
    if (what.empty() || !text)
        return 0;
    // The text is searched in growing pieces as its end comes to light, so that an early
    // match costs no pass over the rest of a long text.
    qorlib::Finder finder(what, true);
    size_t known = 0, from = 0, piece = std::max<size_t>(4096, 4 * what.size());
    for (;;) {
        const void *nul = std::memchr(text + known, '\0', piece);
        const size_t end =
            nul ? static_cast<size_t>(static_cast<const char *>(nul) - text) : known + piece;
        const size_t at = finder.find({text, end}, from);
        if (at != qorlib::Finder::npos || nul)
            return position(at);
        // Starts from which the needle would run past the piece are tried with the next one.
        from = std::max(from, end + 1 > what.size() ? end + 1 - what.size() : 0);
        known = end;
        piece *= 2;
    }
}

extern "C" QOR_API int32_t InStrRev(const char *text, const char *find) {
    std::string_view what = qorlib::arg(find);
    if (what.empty())
        return 0;
    return position(qorlib::Finder(what, false).rfind(qorlib::arg(text)));
}

extern "C" QOR_API qor_text *StripL(const char *text, const char *character) {
    std::string_view in = qorlib::arg(text), strip = qorlib::arg(character);
    if (!strip.empty()) {
        size_t first = in.find_first_not_of(strip[0]);
        in.remove_prefix(first == std::string_view::npos ? in.size() : first);
    }
    return qorlib::make_text(in);
}

extern "C" QOR_API qor_text *StripR(const char *text, const char *character) {
    std::string_view in = qorlib::arg(text), strip = qorlib::arg(character);
    if (!strip.empty()) {
        size_t last = in.find_last_not_of(strip[0]);
        in = last == std::string_view::npos ? std::string_view() : in.substr(0, last + 1);
    }
    return qorlib::make_text(in);
}

extern "C" QOR_API qor_text *StripLStr(const char *text, const char *set) {
    std::string_view in = qorlib::arg(text);
    const std::array<bool, 256> strip = members(qorlib::arg(set));
    size_t first = 0;
    while (first < in.size() && strip[static_cast<unsigned char>(in[first])])
        ++first;
    return qorlib::make_text(in.substr(first));
}

extern "C" QOR_API qor_text *StripRStr(const char *text, const char *set) {
    std::string_view in = qorlib::arg(text);
    const std::array<bool, 256> strip = members(qorlib::arg(set));
    size_t end = in.size();
    while (end > 0 && strip[static_cast<unsigned char>(in[end - 1])])
        --end;
    return qorlib::make_text(in.substr(0, end));
}

extern "C" QOR_API qor_text *Replace(const char *subject, const char *find,
                                     const char *replacement) {
    std::string_view in = qorlib::arg(subject), what = qorlib::arg(find),
                     with = qorlib::arg(replacement);
    if (what.empty())
        return qorlib::make_text(in);
    qorlib::Finder finder(what, false);
    const size_t first = finder.find(in);
    if (first == qorlib::Finder::npos)
        return qorlib::make_text(in);

    // A replacement no longer than what it replaces keeps the result within the subject's
    // size. A longer one needs the count first, to size the result exactly and to stop as
    // soon as the result would exceed the text limit.
    size_t size = in.size();
    if (with.size() > what.size() || size > QOR_TEXT_MAX) {
        const size_t growth = with.size() > what.size() ? with.size() - what.size() : 0;
        const size_t room = QOR_TEXT_MAX - std::min(in.size(), QOR_TEXT_MAX);
        size_t count = 0;
        for (size_t at = first; at != qorlib::Finder::npos;
             at = finder.find(in, at + what.size())) {
            ++count;
            if (growth && count > room / growth)
                return nullptr;
        }
        size = in.size() - count * what.size() + count * with.size();
    }
    qor_text *out = qorlib::new_text(size);
    if (!out)
        return nullptr;
    char *to = out->data;
    size_t from = 0;
    for (size_t at = first; at != qorlib::Finder::npos; at = finder.find(in, at + what.size())) {
        std::memcpy(to, in.data() + from, at - from);
        to += at - from;
        if (!with.empty())
            std::memcpy(to, with.data(), with.size());
        to += with.size();
        from = at + what.size();
    }
    std::memcpy(to, in.data() + from, in.size() - from);
    to += in.size() - from;
    return qorlib::shrink_text(out, static_cast<size_t>(to - out->data));
}
