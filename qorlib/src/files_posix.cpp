// Files and folders on POSIX systems: drive paths mapped to folders, stat, open/read and
// readdir.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "internal.h"
#include "platform.h"

namespace {

// Closes a descriptor or directory stream on every way out.
struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0)
            close(fd);
    }
};

struct DirCloser {
    DIR *dir;
    ~DirCloser() {
        if (dir)
            closedir(dir);
    }
};

}  // namespace

namespace qorlib::sys {

std::optional<NativePath> native_path(std::string_view path) {
    return qorlib::native_path(path);
}

PathTail split_last(const NativePath &path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    // A name right under the root is searched for in "/".
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

bool is_regular_file(const NativePath &path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// O_NONBLOCK keeps a FIFO from stalling the open; fstat then turns down anything that is
// not a regular file before a single byte is read.
std::optional<std::string> read_regular_file(const NativePath &path, std::size_t cap) {
    FdCloser file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0)
        return std::nullopt;
    struct stat st {};
    if (fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > cap)
        return std::nullopt;
    std::string content;
    // The size is a hint only: files in /proc report 0, and a file may grow meanwhile.
    content.reserve(static_cast<size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        ssize_t got = read(file.fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (got == 0)
            break;
        if (content.size() + static_cast<size_t>(got) > cap)
            return std::nullopt;
        content.append(chunk, static_cast<size_t>(got));
    }
    return content;
}

std::optional<std::vector<std::string>> regular_files(const NativePath &folder, NameFilter wanted,
                                                      const void *context, std::size_t limit) {
    std::vector<std::string> names;
    DirCloser dir{opendir(folder.c_str())};
    if (!dir.dir)
        return std::nullopt;
    std::string full = folder;
    if (full.empty() || full.back() != '/')
        full += '/';
    const size_t base = full.size();
    while (names.size() < limit) {
        errno = 0;
        const dirent *entry = readdir(dir.dir);
        if (!entry) {
            // A listing cut short by a read error would pass for a complete one.
            if (errno != 0)
                return std::nullopt;
            break;
        }
        std::string_view name(entry->d_name);
        if (name == "." || name == ".." || !wanted(context, name))
            continue;
        // stat follows a link: a link to a regular file counts as the file. An entry that
        // vanished or cannot be examined is not a regular file and is left out.
        full.resize(base);
        full += name;
        if (is_regular_file(full))
            names.emplace_back(name);
    }
    return names;
}

std::string windows_dir() {
    const char *configured = std::getenv("QORLIB_WINDIR");
    return configured && *configured ? configured : "/etc/";
}

}  // namespace qorlib::sys
