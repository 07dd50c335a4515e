// FileExists and _readfile on any path (up to the first NUL; the bytes after it give the
// flags), in a scratch folder with drives mapped into it: against stat(), a plain
// wildcard match over the folder's names and the file read whole. Folders, devices,
// FIFOs, broken links, unmapped drives and files over 64 MiB give no and an empty text;
// every flags value reads as 0; the argument is left as it was.
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

#include "fuzz_scratch.h"

namespace {

constexpr off_t kReadCap = off_t{64} << 20;

bool expected_exists(const std::optional<std::string> &native) {
    if (!native)
        return false;
    const std::size_t slash = native->rfind('/');
    const std::string last = native->substr(slash + 1);
    if (last.find_first_of("*?") == std::string::npos)
        return fuzz::regular_size(*native).has_value();
    // A wildcard in the last part: any regular file of the folder whose name matches.
    for (const std::string &name : fuzz::regular_files(native->substr(0, slash)))
        if (fuzz::wildcard(last, name))
            return true;
    return false;
}

std::string expected_content(const std::optional<std::string> &native) {
    if (!native)
        return {};
    const std::optional<off_t> size = fuzz::regular_size(*native);
    if (!size || *size > kReadCap)
        return {};
    std::string content(static_cast<std::size_t>(*size), '\0');
    std::ifstream file(*native, std::ios::binary);
    if (!file.read(content.data(), *size))
        return {};
    return content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const fuzz::Parts parts = fuzz::split(data, size, 1);
    const auto named = fuzz::Scratch::get().name(parts.texts[0]);
    if (!named)
        return 0;
    const std::int32_t flags = fuzz::int32_from(parts.rest);
    std::string argument = named->argument;  // must stay as it is

    const std::int16_t exists = FileExists(argument.c_str());
    FUZZ_REQUIRE(exists == QOR_YES || exists == QOR_NO);
    FUZZ_REQUIRE((exists == QOR_YES) == expected_exists(named->native));

    FUZZ_REQUIRE(fuzz::take(_readfile(argument.c_str(), flags)) == expected_content(named->native));
    FUZZ_REQUIRE(argument == named->argument);

    FUZZ_REQUIRE(FileExists(nullptr) == QOR_NO && FileExists("") == QOR_NO);
    FUZZ_REQUIRE(fuzz::take(_readfile(nullptr, flags)).empty());
    FUZZ_REQUIRE(fuzz::take(_readfile("", flags)).empty());
    return 0;
}
