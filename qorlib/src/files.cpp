// Files: existence with wildcards, the system folder, and reading a whole file.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "internal.h"

namespace {

// The largest file _readfile reads; a bigger one is not read at all.
constexpr size_t kReadCap = size_t{64} << 20;

bool is_regular_file(const std::string &path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

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

bool any_regular_match(const std::string &folder, std::string_view pattern) {
    DirCloser dir{opendir(folder.c_str())};
    if (!dir.dir)
        return false;
    while (const dirent *entry = readdir(dir.dir)) {
        std::string_view name(entry->d_name);
        if (name == "." || name == ".." || !qorlib::wildcard_match(pattern, name))
            continue;
        std::string full = folder;
        if (full.back() != '/')
            full += '/';
        full += name;
        if (is_regular_file(full))
            return true;
    }
    return false;
}

// The whole content of a regular file, or nothing (missing, not regular, unreadable,
// larger than kReadCap). O_NONBLOCK keeps a FIFO from stalling the open; fstat then turns
// down anything that is not a regular file before a single byte is read.
std::optional<std::string> read_regular_file(const std::string &path) {
    FdCloser file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0)
        return std::nullopt;
    struct stat st {};
    if (fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > kReadCap)
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
        if (content.size() + static_cast<size_t>(got) > kReadCap)
            return std::nullopt;
        content.append(chunk, static_cast<size_t>(got));
    }
    return content;
}

}  // namespace

extern "C" QOR_API int16_t FileExists(const char *path) {
    try {
        std::optional<std::string> native = qorlib::native_path(qorlib::arg(path));
        if (!native || native->empty())
            return QOR_NO;
        size_t slash = native->rfind('/');
        std::string_view last = slash == std::string::npos
                                    ? std::string_view(*native)
                                    : std::string_view(*native).substr(slash + 1);
        if (last.find_first_of("*?") == std::string_view::npos)
            return is_regular_file(*native) ? QOR_YES : QOR_NO;
        // The folder part: "." for a bare name, "/" for a name right under the root.
        const std::string_view folder = slash == std::string::npos ? std::string_view(".")
                                        : slash == 0               ? std::string_view("/")
                                                     : std::string_view(*native).substr(0, slash);
        return any_regular_match(std::string(folder), last) ? QOR_YES : QOR_NO;
    } catch (const std::bad_alloc &) {
        return QOR_NO;
    }
}

extern "C" QOR_API qor_text *GetWindowsDir(void) {
    try {
        const char *configured = std::getenv("QORLIB_WINDIR");
        std::string dir = configured && *configured ? configured : "/etc/";
        if (dir.back() != '/' && dir.back() != '\\')
            dir += '/';
        return qorlib::make_text(dir);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

extern "C" QOR_API qor_text *_readfile(const char *path, int32_t flags) {
    (void)flags;  // reserved: every value reads as 0
    try {
        std::optional<std::string> native = qorlib::native_path(qorlib::arg(path));
        if (!native)
            return qorlib::make_text({});
        std::optional<std::string> content = read_regular_file(*native);
        return qorlib::make_text(content ? *content : std::string_view());
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
