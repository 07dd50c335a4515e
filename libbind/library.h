// The binding to the utility library: the library is loaded on the first call of any
// export, and each export is looked up by name on its first call and its address cached.
#pragma once

#include <QString>
#include <cstdint>
#include <utility>

namespace qorbind {

class Library {
  public:
    static Library &instance();

    // Loads exactly this file from now on instead of searching (an empty path restores the
    // search). Unloads the current library; cached exports are looked up again.
    void setPath(const QString &path);
    QString path() const { return explicitPath_; }

    // The address of an export. Loads the library first if needed. Raises RigError 53 when
    // the library cannot be found, 48 when it is found but cannot be loaded, and 453 when
    // it lacks the export.
    void *resolve(const char *name);
    // Loads the library now unless it is loaded; raises as resolve() does.
    void ensureLoaded() {
        if (!handle_)
            load();
    }
    // The loader's own reason why the last attempt to load failed ("" after a success).
    QString loadError() const { return loadError_; }

    // Releases the loaded library; the next call loads it again.
    void unload();

    // Changes whenever the loaded library changes, so cached addresses know they are stale.
    std::uint64_t generation() const { return generation_; }

    // The file name used in error descriptions ("libqorlib145.so", or the chosen file's name).
    QString fileName() const;
    // The library's file name on this system ("libqorlib145.so", "qorlib145.dll").
    static QString defaultFileName();
    // The full path of the loaded library, empty when none is loaded.
    QString loadedPath() const { return loadedPath_; }

    // How many times an export has been looked up by name, for tests of the cache.
    int lookupCount() const { return lookups_; }

  private:
    Library() = default;
    void load();

    QString explicitPath_;
    QString loadedPath_;
    QString loadError_;
    void *handle_ = nullptr;
    std::uint64_t generation_ = 1;
    int lookups_ = 0;
};

// One export of the library with C signature R(A...), resolved on its first call.
template <typename Signature>
class Export;

template <typename R, typename... A>
class Export<R(A...)> {
  public:
    using Function = R (*)(A...);

    constexpr explicit Export(const char *name) : name_(name) {}

    Function get() const {
        Library &library = Library::instance();
        if (!function_ || generation_ != library.generation()) {
            function_ = reinterpret_cast<Function>(library.resolve(name_));
            generation_ = library.generation();
        }
        return function_;
    }

    template <typename... X>
    R operator()(X &&...args) const {
        return get()(std::forward<X>(args)...);
    }

    const char *name() const { return name_; }

  private:
    const char *name_;
    mutable Function function_ = nullptr;
    mutable std::uint64_t generation_ = 0;
};

}  // namespace qorbind
