#include "library.h"

#include <QFile>
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

namespace {

// Paths cross into the platform layer spelt as the system spells them.
platform::Path toPath(const QString &path) {
#if defined(_WIN32)
    return platform::Path(path.toStdWString());
#else
    return platform::Path(QFile::encodeName(path).toStdString());
#endif
}

QString fromPath(const platform::Path &path) {
#if defined(_WIN32)
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

// The loader's reason: UTF-8 on Windows, the locale's encoding elsewhere.
QString fromReason(const std::string &reason) {
#if defined(_WIN32)
    return QString::fromStdString(reason);
#else
    return QString::fromLocal8Bit(reason);
#endif
}

}  // namespace

QString Library::defaultFileName() {
    return fromPath(platform::libraryFileName());
}

QString Library::fileName() const {
    return explicitPath_.isEmpty() ? defaultFileName() : QFileInfo(explicitPath_).fileName();
}

void Library::load() {
    // A bare name would send the loader searching; an explicit file is taken as it is.
    const platform::Opened opened =
        explicitPath_.isEmpty()
            ? platform::search(platform::libraryFileNames())
            : platform::open(toPath(QFileInfo(explicitPath_).absoluteFilePath()));
    if (opened.handle) {
        handle_ = opened.handle;
        loadedPath_ = fromPath(opened.path);
        loadError_.clear();
        ++generation_;
        return;
    }
    loadError_ = fromReason(opened.error);
    if (opened.fileFound)
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
