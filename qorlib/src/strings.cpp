// Text: reversing, searching, stripping and replacing.
#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>

#include "internal.h"

namespace {

// Texts never exceed QOR_TEXT_MAX (1 GiB), so every position fits an int32_t.
int32_t position(size_t index) noexcept {
    return index == std::string_view::npos ? 0 : static_cast<int32_t>(index + 1);
}

bool same_letter(char a, char b) noexcept {
    return qorlib::fold_case(static_cast<unsigned char>(a)) ==
           qorlib::fold_case(static_cast<unsigned char>(b));
}

// A code outside 1..255 names no byte a text can hold before its terminator.
bool valid_code(int16_t code) noexcept {
    return code >= 1 && code <= 255;
}

}  // namespace

extern "C" QOR_API qor_text *StrRev(const char *text) {
    try {
        std::string_view in = qorlib::arg(text);
        if (in.size() > QOR_TEXT_MAX)
            return nullptr;
        return qorlib::make_text(std::string(in.rbegin(), in.rend()));
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
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
    std::string_view in = qorlib::arg(text), what = qorlib::arg(find);
    if (what.empty() || what.size() > in.size())
        return 0;
    auto at = std::search(in.begin(), in.end(), what.begin(), what.end(), same_letter);
    return at == in.end() ? 0 : position(static_cast<size_t>(at - in.begin()));
}

extern "C" QOR_API int32_t InStrRev(const char *text, const char *find) {
    std::string_view what = qorlib::arg(find);
    if (what.empty())
        return 0;
    return position(qorlib::arg(text).rfind(what));
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
    std::string_view in = qorlib::arg(text), strip = qorlib::arg(set);
    if (!strip.empty()) {
        size_t first = in.find_first_not_of(strip);
        in.remove_prefix(first == std::string_view::npos ? in.size() : first);
    }
    return qorlib::make_text(in);
}

extern "C" QOR_API qor_text *StripRStr(const char *text, const char *set) {
    std::string_view in = qorlib::arg(text), strip = qorlib::arg(set);
    if (!strip.empty()) {
        size_t last = in.find_last_not_of(strip);
        in = last == std::string_view::npos ? std::string_view() : in.substr(0, last + 1);
    }
    return qorlib::make_text(in);
}

extern "C" QOR_API qor_text *Replace(const char *subject, const char *find,
                                     const char *replacement) {
    std::string_view in = qorlib::arg(subject), what = qorlib::arg(find),
                     with = qorlib::arg(replacement);
    if (what.empty())
        return qorlib::make_text(in);

    size_t count = 0;
    for (size_t at = in.find(what); at != std::string_view::npos;
         at = in.find(what, at + what.size()))
        ++count;
    if (count == 0)
        return qorlib::make_text(in);

    // Size the result before building it: count * growth may be far beyond memory.
    if (with.size() > what.size()) {
        size_t growth = with.size() - what.size();
        if (in.size() > QOR_TEXT_MAX || growth > (QOR_TEXT_MAX - in.size()) / count)
            return nullptr;
    }
    size_t size = in.size() - count * what.size() + count * with.size();
    if (size > QOR_TEXT_MAX)
        return nullptr;

    try {
        std::string out;
        out.reserve(size);
        size_t from = 0;
        for (size_t at = in.find(what); at != std::string_view::npos;
             at = in.find(what, at + what.size())) {
            out.append(in, from, at - from);
            out.append(with);
            from = at + what.size();
        }
        out.append(in, from);
        return qorlib::make_text(out);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
