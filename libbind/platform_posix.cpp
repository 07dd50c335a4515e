// Loading on POSIX systems with dlopen/dlsym.
#include <dlfcn.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

#include "platform.h"

namespace qorbind::platform {

QString libraryFileName() {
    return QStringLiteral("libqorlib145.so");
}

QStringList libraryFileNames() {
    // The binding speaks the library's first ABI, so only that SONAME is acceptable.
    return {libraryFileName(), QStringLiteral("libqorlib145.so.1")};
}

static QString programDirectory() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0)
        return {};
    buffer[n] = '\0';
    return QFileInfo(QString::fromLocal8Bit(buffer)).absolutePath();
}

QStringList directoriesBeforeSystem() {
    QStringList dirs;
    const QString program = programDirectory();
    if (!program.isEmpty())
        dirs << program;
    dirs << QDir::currentPath();
    // An installed program finds the library installed with it, from any prefix: after the
    // current folder, so that a library being worked on there still wins, and before the
    // system, which may hold another copy.
    if (!program.isEmpty())
        dirs << QDir::cleanPath(QDir(program).filePath(QStringLiteral(QORBIND_INSTALLED_LIBDIR)));
    return dirs;
}

QStringList directoriesAfterSystem() {
    const QByteArray path = qgetenv("PATH");
    QStringList dirs;
    for (const QString &dir : QString::fromLocal8Bit(path).split(u':', Qt::SkipEmptyParts))
        dirs << dir;
    return dirs;
}

OpenResult open(const QString &path) {
    OpenResult result;
    const QByteArray native = QFile::encodeName(path);
    const bool bare = !path.contains(u'/');
    // RTLD_LOCAL keeps a test's fake library from lending its symbols to the next one.
    result.handle = dlopen(native.constData(), RTLD_NOW | RTLD_LOCAL);
    if (result.handle) {
        result.fileFound = true;
        return result;
    }
    const char *message = dlerror();
    result.error = message ? QString::fromLocal8Bit(message) : QString();
    if (bare)
        result.fileFound = !result.error.contains(QStringLiteral("No such file"));
    else
        result.fileFound = QFileInfo::exists(path);
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
