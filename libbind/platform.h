// The only platform-specific part of the binding: finding, loading and querying a shared
// library. A port to another system supplies its own platform_*.cpp.
#pragma once

#include <QString>
#include <QStringList>

namespace qorbind::platform {

// The library's file name on this platform ("libqorlib145.so").
QString libraryFileName();

// The names to try in each place, in order: the file name above, then the versioned name
// that a runtime-only installation (without the development link) provides.
QStringList libraryFileNames();

// Directories to look in, in order, before and after the loader's own search: the
// directory of the running program, the current directory and the library folder of the
// installation the program belongs to come first; the entries of PATH come after the
// system directories.
QStringList directoriesBeforeSystem();
QStringList directoriesAfterSystem();

struct OpenResult {
    void *handle = nullptr;
    bool fileFound = false;  // false when the file does not exist where it was looked for
    QString error;
};

// Opens the library at `path`; with a bare file name the loader searches the system
// directories.
OpenResult open(const QString &path);
void *symbol(void *handle, const char *name);
void close(void *handle);

}  // namespace qorbind::platform
