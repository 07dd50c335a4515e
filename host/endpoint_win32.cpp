// The host's end of the channel on Windows (under Wine, beside a rig on Linux): the rig's
// file mapped by its Windows name, and the pipes of standard input and output.
#include <windows.h>

#include <string>

#include "endpoint.h"
#include "wire.h"

namespace qorhost {

Mapping::~Mapping() {
    if (memory)
        UnmapViewOfFile(memory);
}

namespace {

std::wstring wide(const std::string &utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string lastError() {
    return "Windows error " + std::to_string(GetLastError());
}

class HandleSignal final : public Signal {
  public:
    HandleSignal(HANDLE readEnd, HANDLE writeEnd) : in_(readEnd), out_(writeEnd) {}
    void notify() override {
        const char byte = 1;
        DWORD written = 0;
        WriteFile(out_, &byte, 1, &written, nullptr);
    }
    // The host waits for the rig without a limit: the rig keeps the time.
    Wait wait(Clock::time_point) override {
        char bytes[64];
        DWORD n = 0;
        return ReadFile(in_, bytes, sizeof bytes, &n, nullptr) && n > 0 ? Wait::Ready
                                                                        : Wait::PeerGone;
    }

  private:
    HANDLE in_;
    HANDLE out_;
};

}  // namespace

std::unique_ptr<Mapping> openMapping(const std::string &path) {
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size{};
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size))
        throw Malformed{"cannot open " + path + ": " + lastError()};
    HANDLE section = CreateFileMappingW(file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
    CloseHandle(file);
    if (!section)
        throw Malformed{"cannot map " + path + ": " + lastError()};
    void *memory = MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    CloseHandle(section);
    if (!memory)
        throw Malformed{"cannot map " + path + ": " + lastError()};
    auto mapping = std::make_unique<Mapping>();
    mapping->memory = memory;
    mapping->size = static_cast<std::size_t>(size.QuadPart);
    return mapping;
}

std::unique_ptr<Signal> pipeSignal(void *readEnd, void *writeEnd) {
    return std::make_unique<HandleSignal>(static_cast<HANDLE>(readEnd),
                                          static_cast<HANDLE>(writeEnd));
}

}  // namespace qorhost
