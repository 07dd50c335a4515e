// The drive functions on any drive name (up to the first NUL; the bytes after it give the
// flags of GetDiskSize), with drives mapped into a scratch folder: a name is a letter in
// either case, optionally ":" and then optionally one "\" or "/", and it is a drive when
// the letter maps to an existing folder. Every figure is checked against statvfs() of
// that folder, and every function gives its "no drive" answer for anything else.
#include <sys/statfs.h>
#include <sys/statvfs.h>

#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_scratch.h"

namespace {

std::optional<std::string> expected_folder(const std::string &name) {
    if (name.empty())
        return std::nullopt;
    std::string rest = name.substr(1);
    if (!rest.empty() && rest[0] == ':')
        rest.erase(0, 1);
    if (!(rest.empty() || rest == "\\" || rest == "/"))
        return std::nullopt;
    const char letter = name[0];
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')))
        return std::nullopt;
    std::optional<std::string> folder = fuzz::Scratch::get().drive(letter);
    struct stat st {};
    if (!folder || stat(folder->c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return folder;
}

void require_no_drive(const char *name, std::int32_t flags) {
    FUZZ_REQUIRE(DiskFree(name) == -1.0 && IsValidDisk(name) == QOR_NO);
    FUZZ_REQUIRE(IsHardDisk(name) == QOR_NO && IsCDROMDisk(name) == QOR_NO);
    FUZZ_REQUIRE(GetDiskSize(name, flags) == -10000 && GetDiskSizeMb(name) == -1);
    FUZZ_REQUIRE(GetDiskSizeGb(name) == -1.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const fuzz::Parts parts = fuzz::split(data, size, 1);
    const std::string &name = parts.texts[0];
    const std::int32_t flags = fuzz::int32_from(parts.rest);
    const std::optional<std::string> folder = expected_folder(name);
    require_no_drive(nullptr, flags);
    require_no_drive("", flags);
    if (!folder) {
        require_no_drive(name.c_str(), flags);
        return 0;
    }

    struct statvfs fs {};
    struct statfs kind {};
    FUZZ_REQUIRE(statvfs(folder->c_str(), &fs) == 0 && statfs(folder->c_str(), &kind) == 0);
    const auto type = static_cast<unsigned long>(kind.f_type);
    const bool optical = type == 0x9660 || type == 0x15013346;  // ISO 9660, UDF
    const unsigned __int128 total = static_cast<unsigned __int128>(fs.f_blocks) * fs.f_frsize;

    FUZZ_REQUIRE(IsValidDisk(name.c_str()) == QOR_YES);
    FUZZ_REQUIRE(IsHardDisk(name.c_str()) == (optical ? QOR_NO : QOR_YES));
    FUZZ_REQUIRE(IsCDROMDisk(name.c_str()) == (optical ? QOR_YES : QOR_NO));
    // Free space moves while other programs write; it stays a whole number within the size.
    const double free = DiskFree(name.c_str());
    FUZZ_REQUIRE(free >= 0 && free == static_cast<double>(static_cast<std::uint64_t>(free)));
    FUZZ_REQUIRE(free <= static_cast<double>(total));
    const std::int64_t size_raw = GetDiskSize(name.c_str(), flags);
    const unsigned __int128 scaled = total * 10000;
    if (flags != 0)
        FUZZ_REQUIRE(size_raw ==
                     (scaled > INT64_MAX ? INT64_MAX : static_cast<std::int64_t>(scaled)));
    else
        FUZZ_REQUIRE(size_raw == INT64_MAX || (size_raw >= 0 && size_raw % 10000 == 0 &&
                                               static_cast<unsigned __int128>(size_raw) <= scaled));
    const unsigned __int128 mib = total >> 20;
    FUZZ_REQUIRE(GetDiskSizeMb(name.c_str()) ==
                 (mib > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(mib)));
    FUZZ_REQUIRE(GetDiskSizeGb(name.c_str()) == static_cast<double>(total) / 1073741824.0);
    return 0;
}
