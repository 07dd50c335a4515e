// Loading on POSIX systems with dlopen/dlsym.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <system_error>

#include "platform.h"

namespace qorbind::platform {

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
    const bool bare = !path.has_parent_path();
    // RTLD_LOCAL keeps a test's fake library from lending its symbols to the next one.
    result.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (result.handle) {
        result.fileFound = true;
        return result;
    }
    const char *message = dlerror();
    result.error = message ? message : "";
    std::error_code ignored;
    if (bare)
        result.fileFound = result.error.find("No such file") == std::string::npos;
    else
        result.fileFound = std::filesystem::exists(path, ignored);
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
