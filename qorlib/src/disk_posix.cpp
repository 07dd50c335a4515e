// Drives on POSIX systems: the folder a letter maps to, statvfs for its space and statfs
// for the kind of its file system.
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>

#include <cstdint>
#include <optional>
#include <string>

#include "internal.h"
#include "platform.h"

namespace {

constexpr unsigned long ISO9660_MAGIC = 0x9660;
constexpr unsigned long UDF_MAGIC = 0x15013346;

// The mapped directory of a drive letter, when it exists.
std::optional<std::string> drive_dir(char letter) {
    std::optional<std::string> dir = qorlib::drive_root(letter);
    struct stat info {};
    if (!dir || stat(dir->c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    return dir;
}

std::uint64_t times(std::uint64_t a, std::uint64_t b) {
    std::uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? UINT64_MAX : product;
}

bool optical(const std::string &dir) {
    struct statfs fs {};
    if (statfs(dir.c_str(), &fs) != 0)
        return false;
    const auto type = static_cast<unsigned long>(fs.f_type);
    return type == ISO9660_MAGIC || type == UDF_MAGIC;
}

}  // namespace

namespace qorlib::sys {

DriveKind drive_kind(char letter) {
    std::optional<std::string> dir = drive_dir(letter);
    if (!dir)
        return DriveKind::none;
    return optical(*dir) ? DriveKind::optical : DriveKind::other;
}

std::optional<DriveSpace> drive_space(char letter) {
    std::optional<std::string> dir = drive_dir(letter);
    struct statvfs fs {};
    if (!dir || statvfs(dir->c_str(), &fs) != 0)
        return std::nullopt;
    return DriveSpace{times(fs.f_blocks, fs.f_frsize), times(fs.f_bavail, fs.f_frsize)};
}

}  // namespace qorlib::sys
