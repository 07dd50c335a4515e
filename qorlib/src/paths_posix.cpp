// Drive letters on POSIX systems: the map from letters to folders and the translation of
// drive paths into native ones.
#include <cstdlib>
#include <string>

#include "internal.h"

namespace qorlib {

namespace {

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
    if (!is_drive_letter(letter))
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

std::optional<std::string> native_path(std::string_view path) {
    if (path.empty())
        return std::nullopt;
    if (path.size() >= 2 && is_drive_letter(path[0]) && path[1] == ':') {
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
