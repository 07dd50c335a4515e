// Helpers shared by the Win32 sources of the library. Nothing here is exported.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace qorlib::win32 {

// Texts cross the library's ABI as Latin-1, whose 256 bytes are the first 256 code points
// of UTF-16: widening is one unit per byte.
inline std::wstring widen(std::string_view latin1) {
    std::wstring wide(latin1.size(), L'\0');
    for (size_t i = 0; i < latin1.size(); ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(latin1[i]));
    return wide;
}

// UTF-16 to Latin-1. A character Latin-1 has no byte for becomes "?" (a surrogate pair,
// one character, becomes one "?"); nothing is dropped.
inline std::string narrow(std::wstring_view wide) {
    std::string latin1;
    latin1.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        const auto unit = static_cast<unsigned>(wide[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size() &&
            static_cast<unsigned>(wide[i + 1]) >= 0xDC00 &&
            static_cast<unsigned>(wide[i + 1]) <= 0xDFFF)
            ++i;
        latin1 += unit < 0x100 ? static_cast<char>(unit) : '?';
    }
    return latin1;
}

// Closes a kernel handle on every way out.
class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (valid())
            CloseHandle(handle_);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// Keeps the system from asking the user to insert a disc while a drive is examined: a
// library call must answer, not open a dialog. The thread's previous mode comes back.
class QuietDriveErrors {
  public:
    QuietDriveErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    ~QuietDriveErrors() { SetThreadErrorMode(previous_, nullptr); }
    QuietDriveErrors(const QuietDriveErrors &) = delete;
    QuietDriveErrors &operator=(const QuietDriveErrors &) = delete;

  private:
    DWORD previous_ = 0;
};

}  // namespace qorlib::win32
