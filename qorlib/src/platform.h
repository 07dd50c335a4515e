// What the library asks of the operating system. The exports keep their portable logic
// (parsing, formatting, packing, sorting) in the family sources; every system call sits
// behind the functions below, which one *_posix.cpp and one *_win32.cpp file per family
// supply. The build compiles the set for its target. Nothing here is exported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qorlib::sys {

// ---- Memory (memory_*.cpp) ----------------------------------------------------------

enum class Memory {
    total_physical,
    available_physical,
    total_virtual,
    available_virtual,
    total_swap,
    available_swap,
};

// A memory figure in bytes, read afresh; -1 when the system cannot tell.
double memory_figure(Memory which) noexcept;

// Asks the system to back the fresh block [block, block + size) with large pages before
// it is first written, where it can. A hint only: a block of many megabytes otherwise costs
// a page fault per 4 KiB, which costs more than writing the result into it.
void advise_large_block(void *block, std::size_t size) noexcept;

// The bytes a block from std::malloc() can hold (its size asked for, or more); `block`
// must not be null.
std::size_t block_capacity(void *block) noexcept;

// ---- Process and system (system_*.cpp) -----------------------------------------------

std::int32_t process_id() noexcept;

// The resident memory of process `pid` (> 0) in bytes; nothing when it cannot be read.
std::optional<std::uint64_t> process_memory(std::int32_t pid);

// The system's name and release, and its sub-version text; empty when unknown.
std::string system_version();
std::string system_sub_version();

// ---- Drives (disk_*.cpp) -------------------------------------------------------------

enum class DriveKind { none, other, optical };

struct DriveSpace {
    std::uint64_t total;  // bytes of the whole file system
    std::uint64_t free;   // bytes the caller may still write
};

// What drive `letter` (upper case A-Z) is, and its space; nothing when it has no figures.
DriveKind drive_kind(char letter);
std::optional<DriveSpace> drive_space(char letter);

// ---- Local time (datetime_*.cpp) -----------------------------------------------------

// The local zone at an instant.
struct ZoneState {
    long offset = 0;  // seconds east of UTC
    bool dst = false;
    std::string abbreviation = "UTC";  // empty when the zone has none
};

// Makes the following zone_at() calls read the zone in force now; stores the zone's name
// in *name when `name` is not null.
void use_current_zone(std::string *name);

// The local zone at `unix_seconds` (since 1970-01-01 UTC).
ZoneState zone_at(std::int64_t unix_seconds);

// The instants (Unix seconds, ascending) at which the zone's data lists a change, for the
// zone the last use_current_zone() made current: between two of them, and before the
// first, zone_at() gives one answer. After the last (or everywhere, when the list is
// empty) the zone follows a yearly rule. Never null.
std::shared_ptr<const std::vector<std::int64_t>> zone_transitions();

// ---- Files (files_*.cpp) -------------------------------------------------------------

// A path as the system takes it: a translated drive path on POSIX, UTF-16 on Windows.
#if defined(_WIN32)
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

// The native form of a path as a caller wrote it (a drive path or a native one, Latin-1
// bytes); nothing when it names no place (empty, unmapped drive).
std::optional<NativePath> native_path(std::string_view path);

// A native path cut before its last part: the folder to search and the last part, which
// is where wildcards may stand, in Latin-1.
struct PathTail {
    NativePath folder;
    std::string last;
};
PathTail split_last(const NativePath &path);

// Yes when `path` names a regular file (links followed); folders, devices, FIFOs: no.
bool is_regular_file(const NativePath &path);

// Every byte of the regular file `path`; nothing when it is missing, unreadable, not a
// regular file, or longer than `cap` bytes (which is not read at all).
std::optional<std::string> read_regular_file(const NativePath &path, std::size_t cap);

// Decides whether a name (Latin-1) is wanted.
using NameFilter = bool (*)(const void *context, std::string_view name);

// The names (Latin-1) of the regular files directly in `folder`, links counted as what
// they point to, that `wanted` accepts, in the folder's own order, at most `limit` of
// them. Nothing when the folder cannot be read to the end (reaching `limit` is no error).
std::optional<std::vector<std::string>> regular_files(const NativePath &folder, NameFilter wanted,
                                                      const void *context, std::size_t limit);

// The system folder, Latin-1, as the system gives it (the caller adds the separator).
std::string windows_dir();

// The separator GetWindowsDir() appends.
#if defined(_WIN32)
inline constexpr char kFolderSeparator = '\\';
#else
inline constexpr char kFolderSeparator = '/';
#endif

}  // namespace qorlib::sys
