// Drive figures: free space, size and kind of the file system a drive letter maps to.
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>

#include "internal.h"

namespace {

constexpr unsigned long ISO9660_MAGIC = 0x9660;
constexpr unsigned long UDF_MAGIC = 0x15013346;

// The mapped directory of a drive name, when it exists.
std::optional<std::string> drive_dir(const char *drive) {
    try {
        std::optional<std::string> dir = qorlib::drive_from_name(qorlib::arg(drive));
        struct stat info {};
        if (!dir || stat(dir->c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return std::nullopt;
        return dir;
    } catch (...) {
        return std::nullopt;
    }
}

std::uint64_t times(std::uint64_t a, std::uint64_t b) {
    std::uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? UINT64_MAX : product;
}

struct Space {
    std::uint64_t total;  // bytes of the whole file system
    std::uint64_t free;   // bytes the caller may still write
};

std::optional<Space> space_of(const char *drive) {
    std::optional<std::string> dir = drive_dir(drive);
    struct statvfs fs {};
    if (!dir || statvfs(dir->c_str(), &fs) != 0)
        return std::nullopt;
    return Space{times(fs.f_blocks, fs.f_frsize), times(fs.f_bavail, fs.f_frsize)};
}

bool optical(const std::string &dir) {
    struct statfs fs {};
    if (statfs(dir.c_str(), &fs) != 0)
        return false;
    const auto type = static_cast<unsigned long>(fs.f_type);
    return type == ISO9660_MAGIC || type == UDF_MAGIC;
}

}  // namespace

extern "C" QOR_API double DiskFree(const char *drive) {
    std::optional<Space> space = space_of(drive);
    return space ? static_cast<double>(space->free) : -1.0;
}

extern "C" QOR_API int16_t IsValidDisk(const char *drive) {
    return drive_dir(drive) ? QOR_YES : QOR_NO;
}

extern "C" QOR_API int16_t IsHardDisk(const char *drive) {
    std::optional<std::string> dir = drive_dir(drive);
    return dir && !optical(*dir) ? QOR_YES : QOR_NO;
}

extern "C" QOR_API int16_t IsCDROMDisk(const char *drive) {
    std::optional<std::string> dir = drive_dir(drive);
    return dir && optical(*dir) ? QOR_YES : QOR_NO;
}

extern "C" QOR_API int64_t GetDiskSize(const char *drive, int32_t flags) {
    constexpr std::int64_t SCALE = 10000;
    std::optional<Space> space = space_of(drive);
    if (!space)
        return -1 * SCALE;
    const std::uint64_t bytes = flags == 0 ? space->free : space->total;
    if (bytes > static_cast<std::uint64_t>(INT64_MAX / SCALE))
        return INT64_MAX;
    return static_cast<std::int64_t>(bytes) * SCALE;
}

extern "C" QOR_API int32_t GetDiskSizeMb(const char *drive) {
    std::optional<Space> space = space_of(drive);
    if (!space)
        return -1;
    const std::uint64_t mib = space->total >> 20;
    return mib > static_cast<std::uint64_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(mib);
}

extern "C" QOR_API double GetDiskSizeGb(const char *drive) {
    std::optional<Space> space = space_of(drive);
    return space ? static_cast<double>(space->total) / 1073741824.0 : -1.0;
}
