// Owning text results in library tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

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
