// Files: existence with wildcards, the system folder, and reading a whole file.
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "internal.h"
#include "platform.h"

namespace {

// The largest file _readfile reads; a bigger one is not read at all.
constexpr size_t kReadCap = size_t{64} << 20;

bool matches(const void *pattern, std::string_view name) {
    return qorlib::wildcard_match(*static_cast<const std::string *>(pattern), name);
}

}  // namespace

extern "C" QOR_API int16_t FileExists(const char *path) {
    try {
        std::optional<qorlib::sys::NativePath> native = qorlib::sys::native_path(qorlib::arg(path));
        if (!native || native->empty())
            return QOR_NO;
        const qorlib::sys::PathTail tail = qorlib::sys::split_last(*native);
        if (tail.last.find_first_of("*?") == std::string::npos)
            return qorlib::sys::is_regular_file(*native) ? QOR_YES : QOR_NO;
        const auto found = qorlib::sys::regular_files(tail.folder, matches, &tail.last, 1);
        return found && !found->empty() ? QOR_YES : QOR_NO;
    } catch (const std::bad_alloc &) {
        return QOR_NO;
    }
}

extern "C" QOR_API qor_text *GetWindowsDir(void) {
    try {
        std::string dir = qorlib::sys::windows_dir();
        if (dir.empty() || (dir.back() != '/' && dir.back() != '\\'))
            dir += qorlib::sys::kFolderSeparator;
        return qorlib::make_text(dir);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

extern "C" QOR_API qor_text *_readfile(const char *path, int32_t flags) {
    (void)flags;  // reserved: every value reads as 0
    try {
        std::optional<qorlib::sys::NativePath> native = qorlib::sys::native_path(qorlib::arg(path));
        if (!native)
            return qorlib::make_text({});
        std::optional<std::string> content = qorlib::sys::read_regular_file(*native, kReadCap);
        return qorlib::make_text(content ? *content : std::string_view());
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
