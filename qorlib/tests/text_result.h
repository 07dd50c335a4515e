// Owning text results in library tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "qorlib145.h"

struct TextDeleter {
    void operator()(qor_text *t) const { qor_text_free(t); }
};
using Text = std::unique_ptr<qor_text, TextDeleter>;

// The bytes of a text result, which it releases; fails the test on a null or unterminated
// result.
inline std::string str(qor_text *raw) {
    Text t(raw);
    if (!t) {
        ADD_FAILURE() << "null text result";
        return "<null>";
    }
    EXPECT_EQ(t->data[t->length], '\0') << "result not terminated";
    return std::string(t->data, t->length);
}

// The bytes of a text the test keeps.
inline std::string str(const Text &t) {
    return std::string(t->data, t->length);
}

// The names ListFiles returns for `folder` and `patterns`, after checking the variant's
// shape: empty, or a text array from 0 that is never empty. Clears the variant.
inline std::vector<std::string> listed_names(const char *folder, const char *patterns) {
    qor_variant v{};
    ListFiles(&v, folder, patterns, 0);
    std::vector<std::string> names;
    if (v.type == QOR_VARIANT_EMPTY) {
        EXPECT_EQ(v.items, nullptr);
        EXPECT_EQ(v.count, 0);
        return names;
    }
    EXPECT_EQ(v.type, QOR_VARIANT_TEXT_ARRAY);
    EXPECT_EQ(v.lower_bound, 0);
    EXPECT_GT(v.count, 0) << "an empty list is an empty variant";
    for (int32_t i = 0; i < v.count; ++i)
        names.emplace_back(v.items[i]->data, v.items[i]->length);
    qor_variant_clear(&v);
    return names;
}
