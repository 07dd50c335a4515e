// The binding to the utility library. The library is loaded on the first call of any
// export and each export is looked up by name on its first call. It runs either in this
// process, called directly, or isolated in a library host process (qorlib-host), where a
// crash, an endless loop or exit() ends the host and becomes an error of the calling step.
#pragma once

#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "call_profile.h"
#include "calls.h"

namespace qorhost {
class HostProcess;
}

namespace qorbind {

class Library {
  public:
    static Library &instance();
    ~Library();

    // Loads exactly this file from now on instead of searching (an empty path restores the
    // search). Unloads the current library.
    void setPath(const QString &path);
    QString path() const { return explicitPath_; }

    // Runs the library in a host process from now on (true), or in this one. Unloads.
    void setIsolated(bool isolated);
    // Whether calls go to a host: when isolated, and always for a Windows DLL, which only
    // the Windows build of the host can load (under Wine).
    bool isolated() const { return isolated_ || windowsLibrary_; }
    // How long a call in the host may take before the host is ended (default 60 s).
    void setCallTimeout(std::chrono::milliseconds limit) { callTimeout_ = limit; }
    // Receives every line the host writes to standard error, the library's own output
    // included. Called from another thread; a host started before the call keeps the
    // receiver it started with.
    void setHostOutput(std::function<void(const QString &line)> output);

    // Loads the library now unless it is loaded. Raises RigError 53 when the library cannot
    // be found, 48 when it is found but cannot be loaded (or its host cannot start).
    void ensureLoaded() {
        if (!loaded_)
            load();
    }
    // The reason why the last attempt to load failed ("" after a success).
    QString loadError() const { return loadError_; }
    // Releases the loaded library (and ends its host); the next call loads it again.
    void unload();

    // The file name used in error descriptions ("libqorlib145.so", or the chosen file's name).
    QString fileName() const;
    // The library's file name on this system ("libqorlib145.so", "qorlib145.dll").
    static QString defaultFileName();

    // The full path of the loaded library, empty when none is loaded.
    QString loadedPath() const { return loadedPath_; }
    // How many times an export has been looked up by name in this process, for tests of
    // the cache.
    int lookupCount() const { return lookups_; }

    // The exports the library lacks, in the header's order; loads the library first.
    // Raises RigError as a call would when the library cannot be loaded or its host fails.
    std::vector<qorhost::ExportId> missingExports();

    // Counts the cost of every call from now on (off by default: it costs a little).
    void setProfiling(bool on) { profiling_ = on; }
    bool profiling() const { return profiling_; }
    CallProfile &profile() { return profile_; }
    // The cost of the exports called since the last time, and the bytes resident in the
    // process the library runs in now (0 when not known: no host running, or no figure).
    struct PassProfile {
        std::vector<CallProfile::ExportPass> exports;
        std::uint64_t memory = 0;
    };
    PassProfile takePassProfile();

    // ---- For the calls of qorbind.h ----
    // In this process: the export's address (RigError 453 when the library lacks it) and
    // the library's allocator.
    void *address(qorhost::ExportId id) {
        void *known = addresses_[static_cast<std::size_t>(id)];
        return known ? known : resolve(id);
    }
    const qorhost::Allocator &allocator() const { return allocator_; }
    // In the host: sends a call and returns the answer; a host that died in an earlier
    // call is replaced first. Raises RigError for a crash or a call past its time.
    const std::string &exchange(const std::string &request, qorhost::ExportId id);
    // Ends a host whose answer broke the format and raises the crash error.
    [[noreturn]] void brokenAnswer(const std::string &reason, qorhost::ExportId id);
    // The error of a failure in a call of `id`.
    [[noreturn]] void raise(const qorhost::Failure &failure, qorhost::ExportId id);

  private:
    Library();
    void load();
    void loadDirect();
    void loadInHost();
    void *resolve(qorhost::ExportId id);

    QString explicitPath_;
    QString loadError_;
    QString loadedPath_;
    int lookups_ = 0;
    bool isolated_ = false;
    bool windowsLibrary_ = false;
    bool loaded_ = false;
    void *handle_ = nullptr;
    std::array<void *, qorhost::EXPORT_COUNT> addresses_{};
    qorhost::Allocator allocator_;
    std::unique_ptr<qorhost::HostProcess> host_;
    std::chrono::milliseconds callTimeout_{60000};
    std::function<void(const QString &)> hostOutput_;
    bool profiling_ = false;
    CallProfile profile_;
};

}  // namespace qorbind
