// Drive figures: free space, size and kind of the drive a drive name names.
#include <climits>
#include <cstdint>
#include <optional>

#include "internal.h"
#include "platform.h"

namespace {

using qorlib::sys::DriveKind;
using qorlib::sys::DriveSpace;

DriveKind kind_of(const char *drive) {
    try {
        const std::optional<char> letter = qorlib::drive_letter(qorlib::arg(drive));
        return letter ? qorlib::sys::drive_kind(*letter) : DriveKind::none;
    } catch (...) {
        return DriveKind::none;
    }
}

std::optional<DriveSpace> space_of(const char *drive) {
    try {
        const std::optional<char> letter = qorlib::drive_letter(qorlib::arg(drive));
        return letter ? qorlib::sys::drive_space(*letter) : std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" QOR_API double DiskFree(const char *drive) {
    std::optional<DriveSpace> space = space_of(drive);
    return space ? static_cast<double>(space->free) : -1.0;
}

extern "C" QOR_API int16_t IsValidDisk(const char *drive) {
    return kind_of(drive) != DriveKind::none ? QOR_YES : QOR_NO;
}

extern "C" QOR_API int16_t IsHardDisk(const char *drive) {
    return kind_of(drive) == DriveKind::other ? QOR_YES : QOR_NO;
}

extern "C" QOR_API int16_t IsCDROMDisk(const char *drive) {
    return kind_of(drive) == DriveKind::optical ? QOR_YES : QOR_NO;
}

extern "C" QOR_API int64_t GetDiskSize(const char *drive, int32_t flags) {
    constexpr std::int64_t SCALE = 10000;
    std::optional<DriveSpace> space = space_of(drive);
    if (!space)
        return -1 * SCALE;
    const std::uint64_t bytes = flags == 0 ? space->free : space->total;
    if (bytes > static_cast<std::uint64_t>(INT64_MAX / SCALE))
        return INT64_MAX;
    return static_cast<std::int64_t>(bytes) * SCALE;
}

extern "C" QOR_API int32_t GetDiskSizeMb(const char *drive) {
    std::optional<DriveSpace> space = space_of(drive);
    if (!space)
        return -1;
    const std::uint64_t mib = space->total >> 20;
    return mib > static_cast<std::uint64_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(mib);
}

extern "C" QOR_API double GetDiskSizeGb(const char *drive) {
    std::optional<DriveSpace> space = space_of(drive);
    return space ? static_cast<double>(space->total) / 1073741824.0 : -1.0;
}
