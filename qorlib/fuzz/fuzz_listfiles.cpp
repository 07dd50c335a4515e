// ListFiles on any folder and pattern list (split at NULs; the bytes after them give the
// flags), in a scratch folder with drives mapped into it, against a plain listing: the
// regular files (links followed) whose names match a pattern of the comma-separated list
// ("*", "?", letter case ignored, blanks around patterns dropped), sorted without regard
// to case and then by bytes, in an array from 0; else an empty variant. The result's old
// content is overwritten unread; GetArrayDimensions and qor_variant_clear agree.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_scratch.h"

namespace {

std::vector<std::string> patterns_of(const std::string &list) {
    std::vector<std::string> patterns;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        std::string piece = list.substr(start, comma - start);
        const std::size_t first = piece.find_first_not_of(" \t");
        if (first != std::string::npos)
            patterns.push_back(piece.substr(first, piece.find_last_not_of(" \t") - first + 1));
        start = comma + 1;
    }
    return patterns;
}

std::vector<std::string> expected_names(const std::optional<std::string> &folder,
                                        const std::string &list) {
    std::vector<std::string> names;
    const std::vector<std::string> patterns = patterns_of(list);
    if (!folder || patterns.empty())
        return names;
    for (const std::string &name : fuzz::regular_files(*folder))
        if (std::any_of(patterns.begin(), patterns.end(),
                        [&](const std::string &p) { return fuzz::wildcard(p, name); }))
            names.push_back(name);
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        const std::string fa = fuzz::folded(a), fb = fuzz::folded(b);
        return fa != fb ? fa < fb : a < b;
    });
    return names;
}

void require_empty(const qor_variant &v) {
    FUZZ_REQUIRE(v.type == QOR_VARIANT_EMPTY && v.count == 0);
    FUZZ_REQUIRE(v.items == nullptr && v.text == nullptr && GetArrayDimensions(&v) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const fuzz::Parts parts = fuzz::split(data, size, 2);
    const auto named = fuzz::Scratch::get().name(parts.texts[0]);
    if (!named)
        return 0;
    const std::string &patterns = parts.texts[1];
    const std::int32_t flags = fuzz::int32_from(parts.rest);

    qor_variant result;
    std::memset(&result, 0xA5, sizeof result);  // garbage the call must not read or free
    ListFiles(&result, named->argument.c_str(), patterns.c_str(), flags);
    const std::vector<std::string> want = expected_names(named->native, patterns);
    if (want.empty()) {
        require_empty(result);
    } else {
        FUZZ_REQUIRE(result.type == QOR_VARIANT_TEXT_ARRAY && result.lower_bound == 0);
        FUZZ_REQUIRE(result.count == static_cast<std::int32_t>(want.size()));
        FUZZ_REQUIRE(result.items != nullptr && GetArrayDimensions(&result) == 1);
        for (std::size_t i = 0; i < want.size(); ++i) {
            const qor_text *item = result.items[i];
            FUZZ_REQUIRE(item != nullptr && item->data[item->length] == '\0');
            FUZZ_REQUIRE(std::string(item->data, item->length) == want[i]);
        }
        qor_variant_clear(&result);
        require_empty(result);
    }

    ListFiles(nullptr, named->argument.c_str(), patterns.c_str(), flags);
    ListFiles(&result, nullptr, patterns.c_str(), flags);
    require_empty(result);
    ListFiles(&result, named->argument.c_str(), nullptr, flags);
    require_empty(result);
    return 0;
}
