// Files and folders on Windows: the wide file APIs, with Latin-1 names converted to UTF-16.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "internal.h"
#include "platform.h"
#include "win32.h"

namespace {

using qorlib::sys::NativePath;

bool starts_with(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool is_separator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// Whether a path reaches a device rather than a file: the device namespace ("\\.\"), the
// long-path prefix "\\?\" before anything but a drive or a share, or a reserved device
// name such as "NUL" or "COM1", which the system turns into "\\.\NUL". Such a path is
// never opened: opening a device can block or act on hardware.
bool names_a_device(const NativePath &path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (n == 0 || n >= full.size())
        return true;  // a path the system cannot even expand names nothing to read
    full.resize(n);
    for (wchar_t &c : full)
        if (c == L'/')
            c = L'\\';
    if (starts_with(full, L"\\\\.\\") || starts_with(full, L"\\??\\"))
        return true;
    if (starts_with(full, L"\\\\?\\")) {
        const std::wstring_view rest = std::wstring_view(full).substr(4);
        const bool drive = rest.size() >= 3 && rest[1] == L':' && rest[2] == L'\\' &&
                           rest[0] < 0x80 && qorlib::is_drive_letter(static_cast<char>(rest[0]));
        const bool share = rest.size() >= 4 && (rest[0] == L'U' || rest[0] == L'u') &&
                           (rest[1] == L'N' || rest[1] == L'n') &&
                           (rest[2] == L'C' || rest[2] == L'c') && rest[3] == L'\\';
        return !drive && !share;
    }
    return false;
}

// Whether the file a link stands for is a regular file, the link followed.
bool link_target_is_regular(const NativePath &path) {
    const qorlib::win32::Handle target(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    return target.valid() && GetFileType(target.get()) == FILE_TYPE_DISK &&
           GetFileInformationByHandle(target.get(), &info) &&
           !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether a folder entry is a regular file: no folder, no device; a link counts as what it
// points to.
bool regular_entry(const NativePath &path, DWORD attributes) {
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return link_target_is_regular(path);
    return true;
}

// Closes a search handle on every way out.
struct FindCloser {
    HANDLE handle;
    ~FindCloser() {
        if (handle != INVALID_HANDLE_VALUE)
            FindClose(handle);
    }
};

HANDLE find_first(const NativePath &pattern, WIN32_FIND_DATAW &data) {
    return FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                            FIND_FIRST_EX_LARGE_FETCH);
}

}  // namespace

namespace qorlib::sys {

std::optional<NativePath> native_path(std::string_view path) {
    if (path.empty())
        return std::nullopt;
    return win32::widen(path);
}

PathTail split_last(const NativePath &path) {
    // After the last separator, or after the "C:" of a drive-relative path.
    size_t cut = path.find_last_of(L"\\/");
    if (cut == NativePath::npos && path.size() >= 2 && path[1] == L':')
        cut = 1;
    if (cut == NativePath::npos)
        return {NativePath(), win32::narrow(path)};
    return {path.substr(0, cut + 1), win32::narrow(std::wstring_view(path).substr(cut + 1))};
}

bool is_regular_file(const NativePath &path) {
    if (names_a_device(path))
        return false;
    const win32::QuietDriveErrors quiet;
    WIN32_FIND_DATAW data{};
    const FindCloser found{find_first(path, data)};
    return found.handle != INVALID_HANDLE_VALUE && regular_entry(path, data.dwFileAttributes);
}

std::optional<std::string> read_regular_file(const NativePath &path, std::size_t cap) {
    if (names_a_device(path))
        return std::nullopt;
    const win32::QuietDriveErrors quiet;
    const win32::Handle file(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER size{};
    if (!GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !GetFileSizeEx(file.get(), &size) ||
        size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > cap)
        return std::nullopt;
    std::string content;
    // The size is a hint only: a file may grow while it is read.
    content.reserve(static_cast<size_t>(size.QuadPart));
    char chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            break;
        if (content.size() + got > cap)
            return std::nullopt;
        content.append(chunk, got);
    }
    return content;
}

std::optional<std::vector<std::string>> regular_files(const NativePath &folder, NameFilter wanted,
                                                      const void *context, std::size_t limit) {
    NativePath base = folder;
    if (!base.empty() && !is_separator(base.back()) && base.back() != L':')
        base += L'\\';
    if (names_a_device(base + L'x'))
        return std::nullopt;
    const win32::QuietDriveErrors quiet;
    WIN32_FIND_DATAW data{};
    const FindCloser search{find_first(base + L'*', data)};
    std::vector<std::string> names;
    if (search.handle == INVALID_HANDLE_VALUE) {
        // Only the root of an empty drive has no "." entry to find.
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return names;
        return std::nullopt;
    }
    do {
        const std::wstring_view wide(data.cFileName);
        if (wide == L"." || wide == L"..")
            continue;
        std::string name = win32::narrow(wide);
        if (wanted(context, name) && regular_entry(base + data.cFileName, data.dwFileAttributes))
            names.push_back(std::move(name));
    } while (names.size() < limit && FindNextFileW(search.handle, &data));
    // A listing cut short by a read error would pass for a complete one.
    if (names.size() < limit && GetLastError() != ERROR_NO_MORE_FILES)
        return std::nullopt;
    return names;
}

std::string windows_dir() {
    wchar_t dir[MAX_PATH + 1];
    const UINT n = GetWindowsDirectoryW(dir, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH)
        return {};
    return win32::narrow(std::wstring_view(dir, n));
}

}  // namespace qorlib::sys
