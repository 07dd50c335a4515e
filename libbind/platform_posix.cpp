// Loading on POSIX systems with dlopen/dlsym.
#include <dlfcn.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform.h"

namespace qorbind::platform {

namespace {

bool isThere(const Path &path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

// The folders the loader searches for a bare name asked for by this program, as it lists
// them: LD_LIBRARY_PATH, the program's run paths and the system's library folders.
std::vector<Path> loaderFolders() {
    std::vector<Path> folders;
    void *self = dlopen(nullptr, RTLD_NOW);
    if (!self)
        return folders;
    Dl_serinfo size{};
    if (dlinfo(self, RTLD_DI_SERINFOSIZE, &size) == 0 && size.dls_size >= sizeof(Dl_serinfo)) {
        std::vector<std::max_align_t> memory(size.dls_size / sizeof(std::max_align_t) + 1);
        auto *info = reinterpret_cast<Dl_serinfo *>(memory.data());
        *info = size;
        if (dlinfo(self, RTLD_DI_SERINFO, info) == 0)
            for (unsigned i = 0; i < info->dls_cnt; ++i)
                folders.emplace_back(info->dls_serpath[i].dls_name);
    }
    dlclose(self);
    return folders;
}

// Yes when the loader's cache of the system's libraries names a file `name` that is there.
// The cache's strings are the names and the full paths they stand for, NUL-separated.
bool inLoaderCache(const std::string &name) {
    std::ifstream file("/etc/ld.so.cache", std::ios::binary);
    const std::string cache{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::string tail = "/" + name + '\0';
    for (size_t at = cache.find(tail); at != std::string::npos; at = cache.find(tail, at + 1)) {
        const size_t start = cache.rfind('\0', at) + 1;  // 0 when there is no NUL before
        if (cache[start] == '/' && isThere(cache.substr(start, at + tail.size() - 1 - start)))
            return true;
    }
    return false;
}

// Whether the loader finds something at `path` when it has a folder, else anything of that
// name in a place the loader searches. Decided from the file
// system: the loader's message is in the user's language.
bool loaderFindsFile(const Path &path) {
    if (path.has_parent_path())
        return isThere(path);
    for (const Path &folder : loaderFolders())
        if (isThere(folder / path))
            return true;
    return inLoaderCache(path.string());
}

}  // namespace

Path libraryFileName() {
    return "libqorlib145.so";
}

std::vector<Path> libraryFileNames() {
    // The binding speaks the library's first ABI, so only that SONAME is acceptable.
    return {libraryFileName(), "libqorlib145.so.1"};
}

Path programDirectory() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0)
        return {};
    return Path(std::string(buffer, static_cast<size_t>(n))).parent_path();
}

std::vector<Path> directoriesBeforeSystem() {
    std::vector<Path> dirs;
    const Path program = programDirectory();
    if (!program.empty())
        dirs.push_back(program);
    std::error_code error;
    const Path current = std::filesystem::current_path(error);
    if (!error)
        dirs.push_back(current);
    // An installed program finds the library installed with it, from any prefix: after the
    // current folder, so that a library being worked on there still wins, and before the
    // system, which may hold another copy.
    if (!program.empty())
        dirs.push_back((program / QORBIND_INSTALLED_LIBDIR).lexically_normal());
    return dirs;
}

std::vector<Path> directoriesAfterSystem() {
    std::vector<Path> dirs;
    const char *path = std::getenv("PATH");
    std::string_view rest = path ? path : "";
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        if (const std::string_view dir = rest.substr(0, colon); !dir.empty())
            dirs.emplace_back(std::string(dir));
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return dirs;
}

Opened open(const Path &path) {
    Opened result;
    result.path = path;
    // RTLD_LOCAL keeps a test's fake library from lending its symbols to the next one.
    result.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (result.handle) {
        result.fileFound = true;
        return result;
    }
    const char *message = dlerror();
    result.error = message ? message : "";
    result.fileFound = loaderFindsFile(path);
    return result;
}

void *symbol(void *handle, const char *name) {
    return dlsym(handle, name);
}

void close(void *handle) {
    if (handle)
        dlclose(handle);
}

}  // namespace qorbind::platform
