// Letter case, wildcards and drive names, shared by the file and disk families.
#include "internal.h"

namespace qorlib {

bool wildcard_match(std::string_view pattern, std::string_view name) noexcept {
    // Iterative matcher with one back-tracking point per "*": linear in practice and
    // never recursive, so hostile patterns cannot exhaust the stack.
    size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || fold_case(static_cast<unsigned char>(pattern[p])) ==
                                             fold_case(static_cast<unsigned char>(name[n])))) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::optional<char> drive_letter(std::string_view name) {
    if (name.empty() || !is_drive_letter(name[0]))
        return std::nullopt;
    std::string_view rest = name.substr(1);
    if (!rest.empty() && rest[0] == ':')
        rest.remove_prefix(1);
    if (rest.size() > 1 || (rest.size() == 1 && rest[0] != '\\' && rest[0] != '/'))
        return std::nullopt;
    return name[0] >= 'a' ? static_cast<char>(name[0] - 32) : name[0];
}

}  // namespace qorlib
