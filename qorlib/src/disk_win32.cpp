// Drives on Windows: the real drive letters, GetDriveTypeW and GetDiskFreeSpaceExW.
#include <optional>

#include "platform.h"
#include "win32.h"

namespace {

// "C:\", the root a drive's figures are asked of.
struct Root {
    wchar_t path[4];
};

Root root_of(char letter) {
    return {{static_cast<wchar_t>(letter), L':', L'\\', L'\0'}};
}

}  // namespace

namespace qorlib::sys {

DriveKind drive_kind(char letter) {
    switch (GetDriveTypeW(root_of(letter).path)) {
        case DRIVE_UNKNOWN:
        case DRIVE_NO_ROOT_DIR:
            return DriveKind::none;
        case DRIVE_CDROM:
            return DriveKind::optical;
        default:
            return DriveKind::other;
    }
}

std::optional<DriveSpace> drive_space(char letter) {
    if (drive_kind(letter) == DriveKind::none)
        return std::nullopt;
    const win32::QuietDriveErrors quiet;
    ULARGE_INTEGER free_to_caller{}, total{};
    if (!GetDiskFreeSpaceExW(root_of(letter).path, &free_to_caller, &total, nullptr))
        return std::nullopt;
    return DriveSpace{total.QuadPart, free_to_caller.QuadPart};
}

}  // namespace qorlib::sys
