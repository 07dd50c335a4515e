#include "library.h"

#include <QDir>
#include <QFileInfo>

#include "platform.h"
#include "rigerror.h"

namespace qorbind {

Library &Library::instance() {
    static Library library;
    return library;
}

void Library::setPath(const QString &path) {
    unload();
    explicitPath_ = path;
}

void Library::unload() {
    if (handle_)
        platform::close(handle_);
    handle_ = nullptr;
    loadedPath_.clear();
    ++generation_;
}

QString Library::fileName() const {
    return explicitPath_.isEmpty() ? platform::libraryFileName()
                                   : QFileInfo(explicitPath_).fileName();
}

void Library::load() {
    bool foundButBroken = false;
    auto attempt = [&](const QString &candidate) {
        platform::OpenResult opened = platform::open(candidate);
        if (opened.handle) {
            handle_ = opened.handle;
            loadedPath_ = candidate;
            loadError_.clear();
            ++generation_;
            return true;
        }
        loadError_ = opened.error;
        foundButBroken = foundButBroken || opened.fileFound;
        return false;
    };

    if (!explicitPath_.isEmpty()) {
        // A bare name would send the loader searching; an explicit file is taken as it is.
        if (attempt(QFileInfo(explicitPath_).absoluteFilePath()))
            return;
    } else {
        const QStringList names = platform::libraryFileNames();
        auto attemptIn = [&](const QString &dir) {
            for (const QString &name : names)
                if (QFileInfo::exists(QDir(dir).filePath(name)) &&
                    attempt(QDir(dir).filePath(name)))
                    return true;
            return false;
        };
        for (const QString &dir : platform::directoriesBeforeSystem())
            if (attemptIn(dir))
                return;
        for (const QString &name : names)
            if (attempt(name))
                return;
        for (const QString &dir : platform::directoriesAfterSystem())
            if (attemptIn(dir))
                return;
    }
    if (foundButBroken)
        throw rt::RigError::loadFailed();
    throw rt::RigError::fileNotFound(fileName());
}

void *Library::resolve(const char *name) {
    ensureLoaded();
    ++lookups_;
    void *address = platform::symbol(handle_, name);
    if (!address)
        throw rt::RigError::entryPointNotFound(QString::fromLatin1(name), fileName());
    return address;
}

}  // namespace qorbind
