// Readers behind the memory exports, shared with their tests.
#pragma once

#include <optional>
#include <string_view>

namespace qorlib {

// The figure of `key` in a /proc/meminfo- or /proc/<pid>/status-style text, in bytes
// ("MemTotal:  1024 kB" gives 1048576); a figure without a unit is taken as it is. Nothing
// when the key is absent or its figure is not a plain count.
std::optional<double> kib_field(std::string_view text, std::string_view key);

// The bytes of address space a process of this architecture can map when no limit is set.
double user_address_range() noexcept;

}  // namespace qorlib
