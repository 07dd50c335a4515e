// Drive letters, drive paths and wildcards, shared by the file and disk families.
#include <cstdlib>
#include <vector>

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

namespace {

bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string without_trailing_slash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

}  // namespace

std::optional<std::string> drive_root(char letter) {
    if (!is_letter(letter))
        return std::nullopt;
    letter = upper(letter);
    const char *map = std::getenv("QORLIB_DRIVES");
    if (!map) {
        if (letter == 'C')
            return std::string("/");
        return std::nullopt;
    }
    // "C=/srv/c;D=/media/cdrom": the last entry for a letter wins; empty entries are skipped.
    std::optional<std::string> found;
    std::string_view rest(map);
    while (!rest.empty()) {
        size_t end = rest.find(';');
        std::string_view entry = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (entry.size() >= 3 && entry[1] == '=' && upper(entry[0]) == letter)
            found = without_trailing_slash(std::string(entry.substr(2)));
    }
    return found;
}

std::optional<std::string> drive_from_name(std::string_view name) {
    if (name.empty() || !is_letter(name[0]))
        return std::nullopt;
    std::string_view rest = name.substr(1);
    if (!rest.empty() && rest[0] == ':')
        rest.remove_prefix(1);
    if (rest.size() > 1 || (rest.size() == 1 && rest[0] != '\\' && rest[0] != '/'))
        return std::nullopt;
    return drive_root(name[0]);
}

std::optional<std::string> native_path(std::string_view path) {
    if (path.empty())
        return std::nullopt;
    if (path.size() >= 2 && is_letter(path[0]) && path[1] == ':') {
        std::optional<std::string> root = drive_root(path[0]);
        if (!root)
            return std::nullopt;
        std::string result = *root;
        std::string_view rest = path.substr(2);
        for (char c : rest) {
            if (c == '\\')
                c = '/';
            if (c == '/' && !result.empty() && result.back() == '/')
                continue;
            if (c != '/' && !result.empty() && result.back() != '/' &&
                result.size() == root->size())
                result += '/';
            result += c;
        }
        return result;
    }
    return std::string(path);
}

}  // namespace qorlib
