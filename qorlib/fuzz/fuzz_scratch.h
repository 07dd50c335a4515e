// A scratch folder for the file and drive targets, built once at start-up and removed at
// exit, with drives mapped into it through QORLIB_DRIVES, and a reference of how a path
// names a file in it. Inputs that could leave the folder (a ".." part) are turned down, so
// a target never touches anything else but the two devices linked in on purpose.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "fuzz_support.h"

namespace fuzz {

class Scratch {
  public:
    // The folder, built on first use.
    static const Scratch &get() {
        static const Scratch scratch;
        return scratch;
    }

    const std::string &root() const { return root_; }

    // The directory a mapped drive letter (either case) stands for.
    std::optional<std::string> drive(char letter) const {
        if (letter >= 'a' && letter <= 'z')
            letter = static_cast<char>(letter - 32);
        const auto found = drives_.find(letter);
        if (found == drives_.end())
            return std::nullopt;
        return found->second;
    }

    // The path the library should use for `path`: a drive path ("c:\x", "C:/x", "c:x",
    // "c:") through the map with both slashes separating, anything else as a name inside the
    // folder (the library itself would read it as given; the target makes it absolute
    // so that it stays here). Nothing for an unmapped drive or a path with a ".." part.
    struct Named {
        std::string argument;  // what the target passes
        std::optional<std::string> native;
    };
    std::optional<Named> name(const std::string &path) const {
        if (has_parent_part(path))
            return std::nullopt;
        if (path.size() >= 2 && path[1] == ':' && is_letter(path[0])) {
            std::optional<std::string> root = drive(path[0]);
            if (!root)
                return Named{path, std::nullopt};
            // "c:" alone is the mapped path itself.
            std::string rest = path.substr(2);
            for (char &c : rest)
                if (c == '\\')
                    c = '/';
            return Named{path, rest.empty() ? *root : *root + "/" + rest};
        }
        const std::string inside = root_ + "/c/" + path;
        return Named{inside, inside};
    }

  private:
    Scratch() {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/qorlib-fuzz-XXXXXX";
        FUZZ_REQUIRE(mkdtemp(pattern.data()) != nullptr);
        root_ = pattern;
        build();
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    static bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

    static bool has_parent_part(const std::string &path) {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= path.size(); ++i) {
            if (i == path.size() || path[i] == '/' || path[i] == '\\') {
                if (path.compare(start, i - start, "..") == 0)
                    return true;
                start = i + 1;
            }
        }
        return false;
    }

    void file(const std::string &name, const std::string &content) const {
        std::ofstream(root_ + "/" + name, std::ios::binary) << content;
    }

    void link(const std::string &target, const std::string &name) const {
        FUZZ_REQUIRE(symlink(target.c_str(), (root_ + "/" + name).c_str()) == 0);
    }

    // Names in mixed case, Latin-1 letters, wildcard characters and no extension; links
    // to a file, to a folder, to nothing and to two harmless devices; a FIFO, a folder
    // named like a file, an empty file, files of exactly 64 MiB and one byte more (holes,
    // so they take no room).
    void build() {
        for (const char *folder : {"c", "c/sub.ini", "d", "q"})
            mkdir((root_ + "/" + folder).c_str(), 0755);
        file("c/boot.ini", "[boot loader]\r\ntimeout=30\r\n");
        file("c/BOOT.INI", "upper");
        file("c/config.sys", std::string("NUL\0inside\xff", 11));
        file("c/Autoexec.BAT", "");
        file("c/notes.log", "a");
        file("c/Notes.log", "b");
        file("c/NOTES.LOG", "c");
        file("c/\xC4rger.ini", "Latin-1 capital");
        file("c/\xE4rger.ini", "Latin-1 small");
        file("c/x*y.ini", "star");
        file("c/q?.sys", "question");
        file("c/.hidden.ini", "hidden");
        file("c/noext", "none");
        file("c/space name.ini", "space");
        file("c/sub.ini/inner.sys", "inner");
        file("q/file.txt", "on q");
        file("file.txt", "not a folder");
        link("boot.ini", "c/link.ini");
        link("missing.ini", "c/broken.ini");
        link("sub.ini", "c/dirlink.ini");
        link("/dev/null", "c/null.sys");
        link("/dev/zero", "c/zero.bat");
        link("c", "dirlink");
        FUZZ_REQUIRE(mkfifo((root_ + "/c/fifo.log").c_str(), 0644) == 0);
        for (const auto &[name, size] : {std::pair{"c/cap.log", off_t{64} << 20},
                                         std::pair{"c/huge.log", (off_t{64} << 20) + 1}}) {
            const int fd = open((root_ + "/" + name).c_str(), O_CREAT | O_WRONLY, 0644);
            FUZZ_REQUIRE(fd >= 0 && ftruncate(fd, size) == 0);
            close(fd);
        }
        // C, D and Q (given in lower case) are folders; E names nothing, F a file; G
        // reaches C through a link.
        drives_ = {{'C', root_ + "/c"},        {'D', root_ + "/d"},
                   {'Q', root_ + "/q"},        {'E', root_ + "/missing"},
                   {'F', root_ + "/file.txt"}, {'G', root_ + "/dirlink"}};
        const std::string map = "C=" + root_ + "/c;D=" + root_ + "/d;q=" + root_ + "/q;E=" + root_ +
                                "/missing;F=" + root_ + "/file.txt;G=" + root_ + "/dirlink";
        setenv("QORLIB_DRIVES", map.c_str(), 1);
    }

    std::string root_;
    std::map<char, std::string> drives_;
};

// Whether `path` (followed through links) is a regular file, and its size.
inline std::optional<off_t> regular_size(const std::string &path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return st.st_size;
}

// The names of the regular files (links followed) directly in `folder`; none when it cannot
// be read.
inline std::vector<std::string> regular_files(const std::string &folder) {
    std::vector<std::string> names;
    if (DIR *dir = opendir(folder.c_str())) {
        while (const dirent *entry = readdir(dir))
            if (regular_size(folder + "/" + entry->d_name))
                names.emplace_back(entry->d_name);
        closedir(dir);
    }
    return names;
}

}  // namespace fuzz
