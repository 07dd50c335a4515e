// Loading on Windows with LoadLibraryExW/GetProcAddress, in the same order as on POSIX
// systems: the program's folder, the current folder, the system folder, then PATH. An
// installed DLL lives beside its programs, so the program's folder covers installations.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <string_view>
#include <system_error>

#include "platform.h"

namespace qorbind::platform {

namespace {

// A wide text the system gives, up to its length; `call` fills a buffer of a given size and
// returns the length it needs when the buffer is too small, as the Win32 calls do.
template <typename Call>
std::wstring systemText(Call call) {
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = call(text.data(), static_cast<DWORD>(text.size()));
        if (n == 0)
            return {};
        if (n < text.size()) {
            text.resize(n);
            return text;
        }
        text.resize(static_cast<size_t>(n) + 1);
    }
}

std::string utf8(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                        nullptr, nullptr);
    return text;
}

std::string describe(DWORD error) {
    wchar_t *message = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t *>(&message), 0, nullptr);
    std::wstring_view text(message ? message : L"", message ? n : 0);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.remove_suffix(1);
    std::string result = text.empty() ? "error " + std::to_string(error) : utf8(text);
    LocalFree(message);
    return result;
}

}  // namespace

Path libraryFileName() {
    return L"qorlib145.dll";
}

std::vector<Path> libraryFileNames() {
    return {libraryFileName()};
}

Path programDirectory() {
    const std::wstring program = systemText(
        [](wchar_t *buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
    return program.empty() ? Path() : Path(program).parent_path();
}

std::vector<Path> directoriesBeforeSystem() {
    std::vector<Path> dirs;
    if (const Path program = programDirectory(); !program.empty())
        dirs.push_back(program);
    const std::wstring current =
        systemText([](wchar_t *buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
    if (!current.empty())
        dirs.emplace_back(current);
    return dirs;
}

std::vector<Path> directoriesAfterSystem() {
    const std::wstring path = systemText(
        [](wchar_t *buffer, DWORD size) { return GetEnvironmentVariableW(L"PATH", buffer, size); });
    std::vector<Path> dirs;
    std::wstring_view rest = path;
    while (!rest.empty()) {
        const size_t semicolon = rest.find(L';');
        std::wstring_view dir = rest.substr(0, semicolon);
        // Entries with a ";" in them are written in quotes.
        if (dir.size() >= 2 && dir.front() == L'"' && dir.back() == L'"')
            dir = dir.substr(1, dir.size() - 2);
        if (!dir.empty())
            dirs.emplace_back(std::wstring(dir));
        rest =
            semicolon == std::wstring_view::npos ? std::wstring_view() : rest.substr(semicolon + 1);
    }
    return dirs;
}

Opened open(const Path &path) {
    Opened result;
    result.path = path;
    const bool bare = !path.has_parent_path();
    // A bare name is looked for in the system folder alone (the other places have their
    // own steps); a copy elsewhere loads what it needs from its own folder, then the
    // system's. The loader needs that copy's full path.
    std::error_code ignored;
    const Path target = bare ? path : std::filesystem::absolute(path, ignored);
    const DWORD flags = bare ? LOAD_LIBRARY_SEARCH_SYSTEM32
                             : LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
    // A file that is no DLL must be reported, not shown in a dialog box.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    const HMODULE module = LoadLibraryExW(target.c_str(), nullptr, flags);
    const DWORD error = GetLastError();
    SetThreadErrorMode(previousMode, nullptr);
    if (module) {
        result.handle = module;
        result.fileFound = true;
        return result;
    }
    result.error = describe(error);
    result.fileFound =
        bare ? error != ERROR_MOD_NOT_FOUND : std::filesystem::exists(target, ignored);
    return result;
}

void *symbol(void *handle, const char *name) {
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void close(void *handle) {
    if (handle)
        FreeLibrary(static_cast<HMODULE>(handle));
}

}  // namespace qorbind::platform
