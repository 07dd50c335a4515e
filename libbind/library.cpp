#include "library.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "client.h"
#include "platform.h"
#include "rigerror.h"
#include "wire.h"

namespace qorbind {

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

std::string utf8(const platform::Path &path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::vector<std::string> utf8(const std::vector<platform::Path> &paths) {
    std::vector<std::string> out;
    for (const platform::Path &path : paths)
        out.push_back(utf8(path));
    return out;
}

// A Windows DLL starts with "MZ", whatever it is called.
bool isWindowsProgram(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "MZ";
}

// The first of `names` that is a file in one of `folders`, or "".
QString firstFile(const QStringList &folders, const QString &name) {
    for (const QString &folder : folders) {
        const QFileInfo candidate(folder + u'/' + name);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

}  // namespace

Library &Library::instance() {
    static Library library;
    return library;
}

Library::Library() = default;
Library::~Library() = default;

void Library::setPath(const QString &path) {
    unload();
    explicitPath_ = path;
    windowsLibrary_ = !path.isEmpty() && isWindowsProgram(path);
}

void Library::setIsolated(bool isolated) {
    unload();
    isolated_ = isolated;
}

void Library::setHostOutput(std::function<void(const QString &)> output) {
    hostOutput_ = std::move(output);
}

void Library::unload() {
    host_.reset();
    profile_.forgetMemory();
    if (handle_)
        platform::close(handle_);
    handle_ = nullptr;
    loaded_ = false;
    loadedPath_.clear();
    addresses_.fill(nullptr);
    allocator_ = {};
}

QString Library::defaultFileName() {
    return fromPath(platform::libraryFileName());
}

QString Library::fileName() const {
    return explicitPath_.isEmpty() ? defaultFileName() : QFileInfo(explicitPath_).fileName();
}

void Library::load() {
    if (isolated())
        loadInHost();
    else
        loadDirect();
    loaded_ = true;
    loadError_.clear();
}

void Library::loadDirect() {
    // A bare name would send the loader searching; an explicit file is taken as it is.
    const platform::Opened opened =
        explicitPath_.isEmpty()
            ? platform::search(platform::libraryFileNames())
            : platform::open(toPath(QFileInfo(explicitPath_).absoluteFilePath()));
    if (!opened.handle) {
        loadError_ = fromReason(opened.error);
        if (opened.fileFound)
            throw rt::RigError::loadFailed();
        throw rt::RigError::fileNotFound(fileName());
    }
    handle_ = opened.handle;
    loadedPath_ = fromPath(opened.path);
    allocator_ = qorhost::Allocator::of(
        [this](const char *name) { return platform::symbol(handle_, name); });
}

void Library::loadInHost() {
    const QString explicitFile =
        explicitPath_.isEmpty() ? QString() : QFileInfo(explicitPath_).absoluteFilePath();
    const QString rigFolder = fromPath(platform::programDirectory());
    qorhost::HostCommand command;
    qorhost::LoadRequest request;
    if (windowsLibrary_) {
        // A Windows DLL runs in the Windows build of the host, under Wine.
        const QString host = firstFile({rigFolder, QFileInfo(explicitFile).absolutePath()},
                                       QStringLiteral("qorlib-host.exe"));
        if (host.isEmpty()) {
            loadError_ = QStringLiteral(
                "qorlib-host.exe, which runs a Windows DLL under Wine, is neither beside the rig "
                "nor beside the DLL; ./testbed.sh dll builds both");
            throw rt::RigError::loadFailed();
        }
        QString wine =
            firstFile(QString::fromLocal8Bit(qgetenv("PATH")).split(u':'), QStringLiteral("wine"));
        if (wine.isEmpty())
            wine = firstFile({QStringLiteral("/usr/lib/wine")}, QStringLiteral("wine64"));
        if (wine.isEmpty()) {
            loadError_ = QStringLiteral("Wine, which runs a Windows DLL, is not installed");
            throw rt::RigError::loadFailed();
        }
        command.argv = {QFile::encodeName(wine).toStdString(),
                        QFile::encodeName(host).toStdString()};
        command.windowsPaths = true;
        if (qEnvironmentVariableIsEmpty("WINEDEBUG"))
            command.environment.push_back("WINEDEBUG=-all");
        request.path = "Z:" + explicitFile.toStdString();
        std::replace(request.path.begin(), request.path.end(), '/', '\\');
    } else {
        const QString host =
            firstFile({rigFolder, rigFolder + QStringLiteral("/" QORBIND_INSTALLED_HOSTDIR)},
                      QStringLiteral("qorlib-host"));
        if (host.isEmpty()) {
            loadError_ = QStringLiteral("the library host qorlib-host is not beside the rig (") +
                         rigFolder + QStringLiteral(") nor installed with it");
            throw rt::RigError::loadFailed();
        }
        command.argv = {QFile::encodeName(host).toStdString()};
        request.search = explicitFile.isEmpty();
        if (request.search) {
            // The rig's own search, from the rig's folders.
            request.names = utf8(platform::libraryFileNames());
            request.before = utf8(platform::directoriesBeforeSystem());
            request.after = utf8(platform::directoriesAfterSystem());
        } else {
            request.path = explicitFile.toStdString();
        }
    }
    // The host's reader thread keeps its own copy: a later setHostOutput() cannot race it.
    auto output = [sink = hostOutput_](std::string_view line) {
        if (sink)
            sink(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
    };
    try {
        host_ = std::make_unique<qorhost::HostProcess>(command, output);
        // A first start of Wine may make its prefix, which takes a while.
        const auto limit = std::max(callTimeout_, std::chrono::milliseconds(120000));
        const std::string loaded =
            qorhost::decodeLoaded(host_->exchange(qorhost::encodeLoad(request), limit));
        loadedPath_ = command.windowsPaths ? explicitFile : QString::fromUtf8(loaded);
    } catch (const qorhost::Failure &failure) {
        host_.reset();
        loadError_ = fromReason(failure.detail);
        if (failure.kind == qorhost::Failure::NotFound)
            throw rt::RigError::fileNotFound(fileName());
        if (failure.kind == qorhost::Failure::Crashed)
            loadError_ =
                QStringLiteral("the library host ended while loading the library: ") + loadError_;
        throw rt::RigError::loadFailed();
    } catch (const qorhost::Malformed &malformed) {
        host_.reset();
        loadError_ = QStringLiteral("the library host answered out of turn: ") +
                     QString::fromStdString(malformed.reason);
        throw rt::RigError::loadFailed();
    }
}

void *Library::resolve(qorhost::ExportId id) {
    ensureLoaded();
    ++lookups_;
    void *address = platform::symbol(handle_, qorhost::exportName(id));
    if (!address)
        throw rt::RigError::entryPointNotFound(QString::fromLatin1(qorhost::exportName(id)),
                                               fileName());
    addresses_[static_cast<std::size_t>(id)] = address;
    return address;
}

const std::string &Library::exchange(const std::string &request, qorhost::ExportId id) {
    // A host that died in an earlier call is replaced, with the library loaded again.
    if (!host_ || !host_->alive())
        unload();
    ensureLoaded();
    try {
        return host_->exchange(request, callTimeout_);
    } catch (const qorhost::Failure &failure) {
        raise(failure, id);
    }
}

void Library::brokenAnswer(const std::string &reason, qorhost::ExportId id) {
    try {
        host_->broken(reason);
    } catch (const qorhost::Failure &failure) {
        raise(failure, id);
    }
}

void Library::raise(const qorhost::Failure &failure, qorhost::ExportId id) {
    const QString name = QString::fromLatin1(qorhost::exportName(id));
    const QString detail = QString::fromStdString(failure.detail);
    switch (failure.kind) {
        case qorhost::Failure::MissingExport:
            throw rt::RigError::entryPointNotFound(detail, fileName());
        case qorhost::Failure::OutOfMemory:
            throw rt::RigError::outOfMemory();
        case qorhost::Failure::InvalidCall:
            throw rt::RigError::invalidCall();
        case qorhost::Failure::Crashed:
            // A host that reports its own crash is on its way out.
            if (host_)
                host_->abandon();
            host_.reset();
            throw rt::RigError::libraryCrashed(name, detail);
        case qorhost::Failure::TimedOut:
            throw rt::RigError::libraryTimedOut(name, detail);
        case qorhost::Failure::NotFound:
            throw rt::RigError::fileNotFound(fileName());
        case qorhost::Failure::LoadFailed:
        case qorhost::Failure::HostFailed:
            loadError_ = detail;
            throw rt::RigError::loadFailed();
    }
    throw rt::RigError::loadFailed();
}

Library::PassProfile Library::takePassProfile() {
    std::uint64_t memory = 0;
    if (!isolated()) {
        memory = loaded_ ? qorhost::residentBytes() : 0;
    } else if (host_ && host_->alive()) {
        try {
            try {
                memory = qorhost::decodeProbed(host_->exchange(qorhost::encodeProbe(), callTimeout_));
            } catch (const qorhost::Malformed &malformed) {
                host_->broken(malformed.reason);
            }
        } catch (const qorhost::Failure &) {
            // The host is gone; the next call starts another, and says why.
        }
    }
    return {profile_.takePass(memory), memory};
}

std::vector<qorhost::ExportId> Library::missingExports() {
    std::vector<qorhost::ExportId> missing;
    ensureLoaded();
    if (!isolated()) {
        for (std::size_t i = 0; i < qorhost::EXPORT_COUNT; ++i) {
            const auto id = static_cast<qorhost::ExportId>(i);
            if (!addresses_[i] && !platform::symbol(handle_, qorhost::exportName(id)))
                missing.push_back(id);
        }
        return missing;
    }
    const auto asked = qorhost::ExportId::LibVersion;  // names the exchange in its errors
    const std::string &answer = exchange(qorhost::encodeLookup(), asked);
    try {
        for (std::uint16_t index : qorhost::decodeMissing(answer))
            missing.push_back(static_cast<qorhost::ExportId>(index));
    } catch (const qorhost::Failure &failure) {
        raise(failure, asked);
    } catch (const qorhost::Malformed &malformed) {
        brokenAnswer(malformed.reason, asked);
    }
    return missing;
}

}  // namespace qorbind
