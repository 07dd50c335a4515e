// The moments PHP formatted (phpdate_expected.inc, made by gen_phpdate_expected.php), and
// the comparison of the library's text with PHP's, shared by the date tests of both systems.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

struct PhpDateRow {
    const char *zone;
    const char *wall;
    double date;
    const char *format;
    const char *text;
};

inline constexpr PhpDateRow kPhpDateRows[] = {
#include "phpdate_expected.inc"
};

inline std::vector<std::string> split(const std::string &text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// Compares the library's text for a row with PHP's: letter by letter where the format is a
// "|"-separated list of letters (leaving out the letters in `skipped`), else whole.
inline void expect_php_text(const PhpDateRow &row, const std::string &actual,
                            std::string_view skipped = {}) {
    const std::vector<std::string> letters = split(row.format, '|');
    if (letters.size() == 1) {
        EXPECT_EQ(actual, row.text) << row.zone << " " << row.wall << " \"" << row.format << "\"";
        return;
    }
    const std::vector<std::string> got = split(actual, '|');
    const std::vector<std::string> want = split(row.text, '|');
    ASSERT_EQ(got.size(), want.size()) << row.zone << " " << row.wall << ": " << actual;
    for (std::size_t i = 0; i < want.size(); ++i) {
        if (letters[i].size() == 1 && skipped.find(letters[i][0]) != std::string_view::npos)
            continue;
        EXPECT_EQ(got[i], want[i]) << row.zone << " " << row.wall << " letter " << letters[i];
    }
}
