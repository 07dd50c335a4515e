// The only platform-specific part of the binding: finding, loading and querying a shared
// library. It uses no Qt, so it builds and is tested on its own, also for Windows; a port
// to another system supplies its own platform_*.cpp.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qorbind::platform {

using Path = std::filesystem::path;

// The library's file name on this platform ("libqorlib145.so", "qorlib145.dll").
Path libraryFileName();

// The names to try in each place, in order: the file name above, then, on POSIX systems,
// the versioned name that a runtime-only installation (without the development link)
// provides.
std::vector<Path> libraryFileNames();

// The folder of the running program.
Path programDirectory();

// Directories to look in, in order, before and after the loader's own search: the
// directory of the running program, the current directory and (on POSIX systems) the
// library folder of the installation the program belongs to come first; the entries of
// PATH come after the system directories.
std::vector<Path> directoriesBeforeSystem();
std::vector<Path> directoriesAfterSystem();

struct Opened {
    void *handle = nullptr;  // null when nothing was loaded
    Path path;               // what was loaded, as it was given to the loader
    bool fileFound = false;  // false when no file was where it was looked for
    std::string error;       // the loader's reason for the last failure (UTF-8 on Windows)
};

// Opens the library at `path`; with a bare file name the loader searches the system
// directories only.
Opened open(const Path &path);
void *symbol(void *handle, const char *name);
void close(void *handle);

// Opens the first loadable copy of any of `fileNames` in the search order: the directories
// before the system's, the system's, then the directories after, each name in turn in
// each place. A copy that is there but does not load is passed over (and reported through
// fileFound and error if nothing else loads).
Opened search(const std::vector<Path> &fileNames);
// The same with the directories given: a library host searches on behalf of the rig, from
// the rig's folders.
Opened search(const std::vector<Path> &fileNames, const std::vector<Path> &before,
              const std::vector<Path> &after);

}  // namespace qorbind::platform
