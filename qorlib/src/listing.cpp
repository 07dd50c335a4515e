// Variant dimensions and the listing of the files of one folder.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "internal.h"
#include "platform.h"

namespace {

// The patterns of a comma-separated list, blanks around each removed, empty ones dropped.
std::vector<std::string_view> split_patterns(std::string_view list) {
    std::vector<std::string_view> patterns;
    while (true) {
        const size_t comma = list.find(',');
        std::string_view piece = list.substr(0, comma);
        while (!piece.empty() && (piece.front() == ' ' || piece.front() == '\t'))
            piece.remove_prefix(1);
        while (!piece.empty() && (piece.back() == ' ' || piece.back() == '\t'))
            piece.remove_suffix(1);
        if (!piece.empty())
            patterns.push_back(piece);
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
    }
    return patterns;
}

// Name order without regard to case; names equal but for case keep a fixed order by bytes.
bool name_less(const std::string &a, const std::string &b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const unsigned char fa = qorlib::fold_case(static_cast<unsigned char>(a[i]));
        const unsigned char fb = qorlib::fold_case(static_cast<unsigned char>(b[i]));
        if (fa != fb)
            return fa < fb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

// Whether a name matches any pattern of a list.
bool matches_any(const void *patterns, std::string_view name) {
    for (std::string_view pattern : *static_cast<const std::vector<std::string_view> *>(patterns))
        if (qorlib::wildcard_match(pattern, name))
            return true;
    return false;
}

}  // namespace

extern "C" QOR_API int32_t GetArrayDimensions(const qor_variant *variant) {
    return variant && variant->type == QOR_VARIANT_TEXT_ARRAY ? 1 : 0;
}

extern "C" QOR_API void ListFiles(qor_variant *result, const char *folder, const char *patterns,
                                  int32_t /*flags*/) {
    if (!result)
        return;
    *result = qor_variant{};
    try {
        const auto path = qorlib::sys::native_path(qorlib::arg(folder));
        if (!path)
            return;
        const std::vector<std::string_view> wanted = split_patterns(qorlib::arg(patterns));
        if (wanted.empty())
            return;
        std::optional<std::vector<std::string>> names =
            qorlib::sys::regular_files(*path, matches_any, &wanted, SIZE_MAX);
        if (!names || names->empty() || names->size() > static_cast<size_t>(INT32_MAX))
            return;
        std::sort(names->begin(), names->end(), name_less);

        // Callers release the array with qor_variant_clear(), which frees it with free().
        auto **items = static_cast<qor_text **>(std::calloc(names->size(), sizeof(qor_text *)));
        if (!items)
            return;
        qor_variant list{};
        list.type = QOR_VARIANT_TEXT_ARRAY;
        list.items = items;
        for (const std::string &name : *names) {
            qor_text *item = qorlib::make_text(name);
            if (!item) {
                qor_variant_clear(&list);
                return;
            }
            items[list.count++] = item;
        }
        *result = list;
    } catch (...) {
        // Out of memory: the result stays empty.
    }
}
