#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "qorlib145.h"
#include "text_result.h"

namespace {

TEST(StrRev, ReversesBytesAndLeavesArgumentAlone) {
    char sample[] = "The quick brown fox";
    EXPECT_EQ(str(StrRev(sample)), "xof nworb kciuq ehT");
    EXPECT_STREQ(sample, "The quick brown fox");
    EXPECT_EQ(str(StrRev("a")), "a");
    EXPECT_EQ(str(StrRev("")), "");
    EXPECT_EQ(str(StrRev(nullptr)), "");
    EXPECT_EQ(str(StrRev("\x01\xFF\x80")), "\x80\xFF\x01");
}

TEST(Search, CharacterPositions) {
    struct Case {
        const char *text;
        int16_t code;
        int32_t first, last;
    } cases[] = {
        {"The quick brown fox jumped uber the lazy dog", 'k', 9, 9},
        {"hello world", 'o', 5, 8},
        {"hello world", 'x', 0, 0},
        {"hello world", 'h', 1, 1},
        {"hello world", 'd', 11, 11},
        {"", 'a', 0, 0},
        {nullptr, 'a', 0, 0},
        {"a\xE9z\xE9", 0xE9, 2, 4},  // high bytes are codes 128..255, not negatives
        {"hello", 0, 0, 0},          // the terminator is not part of the text
        {"hello", 'h' + 256, 0, 0},  // no wrap-around to a byte
        {"\xFF", -1, 0, 0},          // -1 is not byte 255
        {"hello", 32767, 0, 0},
        {"hello", -32768, 0, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(InChr(c.text, c.code), c.first) << (c.text ? c.text : "(null)") << " " << c.code;
        EXPECT_EQ(InChrRev(c.text, c.code), c.last)
            << (c.text ? c.text : "(null)") << " " << c.code;
    }
}

TEST(Search, TextPositions) {
    struct Case {
        const char *text, *find;
        int32_t insensitive_first, sensitive_last;
    } cases[] = {
        {"The quick brown fox jumped uber the lazy dog", "FOX", 17, 0},
        {"The quick brown fox jumped uber the lazy dog", "fox", 17, 17},
        {"The quick brown fox jumped uber the lazy dog", "fred", 0, 0},
        {"The quick brown fox jumped uber the lazy dog", "the", 1, 33},
        {"hello world there world", "world", 7, 19},
        {"hello world", "fred", 0, 0},
        {"aaaa", "aa", 1, 3},  // the last start, even when occurrences overlap
        {"abc", "abcd", 0, 0},
        {"abc", "", 0, 0},
        {"", "", 0, 0},
        {"", "a", 0, 0},
        {nullptr, "a", 0, 0},
        {"abc", nullptr, 0, 0},
        {"x\xC9t\xC9", "\xE9T\xE9", 2, 0},  // Latin-1 letters fold like ASCII
        {"a\xD7", "\xF7", 0, 0},            // multiplication and division signs are no letters
        {"ab[", "{", 0, 0},                 // only letters fold
    };
    for (const Case &c : cases) {
        std::string label =
            std::string(c.text ? c.text : "(null)") + " / " + (c.find ? c.find : "(null)");
        EXPECT_EQ(InStrI(c.text, c.find), c.insensitive_first) << label;
        EXPECT_EQ(InStrRev(c.text, c.find), c.sensitive_last) << label;
    }
}

TEST(Strip, EndsAndSets) {
    struct Case {
        qor_text *(*fn)(const char *, const char *);
        const char *text, *strip, *expected;
    } cases[] = {
        {StripL, "hhhello world", "h", "ello world"},
        {StripL, "hello world", "h", "ello world"},
        {StripL, "hello world", "hx", "ello world"},  // only the first character counts
        {StripL, "hello world", "xh", "hello world"},
        {StripL, "hhhh", "h", ""},
        {StripL, "hello", "", "hello"},
        {StripL, "hello", nullptr, "hello"},
        {StripL, nullptr, "h", ""},
        {StripR, " hello world", "d", " hello worl"},
        {StripR, "hello worldddd", "d", "hello worl"},
        {StripR, "dddd", "d", ""},
        {StripR, "hello", "", "hello"},
        {StripLStr, " hello world", " h", "ello world"},
        {StripLStr, "hello world", "qleh", "o world"},
        {StripLStr, "hello world", "", "hello world"},
        {StripLStr, "hello", "ehlo", ""},
        {StripLStr, "\xFF\xFEx", "\xFE\xFF", "x"},
        {StripRStr, "hello world", " d", "hello worl"},
        {StripRStr, "hello world  dd", " d", "hello worl"},
        {StripRStr, "hello", "ehlo", ""},
        {StripRStr, "hello", nullptr, "hello"},
        {StripRStr, nullptr, nullptr, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(c.fn(c.text, c.strip)), c.expected)
            << (c.text ? c.text : "(null)") << " / " << (c.strip ? c.strip : "(null)");
}

TEST(Replace, Table) {
    struct Case {
        const char *subject, *find, *with, *expected;
    } cases[] = {
        {"The quick brown fox jumped uber the lazy dog", "fox", "goat",
         "The quick brown goat jumped uber the lazy dog"},
        {"The quick brown fox jumped uber the lazy dog", " ", "",
         "Thequickbrownfoxjumpeduberthelazydog"},
        {"oooooooooo", "o", "", ""},
        {"012345", "12345", "A", "0A"},
        {"aaaa", "aa", "b", "bb"},  // non-overlapping, left to right
        {"aaa", "aa", "b", "ba"},
        {"abc", "b", "bb", "abbc"},  // the replacement is not searched again
        {"abc", "B", "x", "abc"},    // case matters
        {"abc", "", "x", "abc"},
        {"abc", nullptr, "x", "abc"},
        {"abc", "abc", nullptr, ""},
        {nullptr, "a", "b", ""},
        {"", "a", "b", ""},
        {"xax", "x", "yyy", "yyyayyy"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(Replace(c.subject, c.find, c.with)), c.expected)
            << (c.subject ? c.subject : "(null)") << " / " << (c.find ? c.find : "(null)");
}

TEST(Replace, OversizedResultIsOutOfMemory) {
    // 4096 one-byte matches, each replaced by 512 KiB: 2 GiB, beyond the text limit.
    std::string subject(4096, 'x');
    std::string big(512 * 1024, 'y');
    EXPECT_EQ(Replace(subject.c_str(), "x", big.c_str()), nullptr);
    // A large result that fits is still made.
    std::string part(16 * 1024, 'z');  // 4096 * 16 KiB = 64 MiB
    Text fits(Replace(subject.c_str(), "x", part.c_str()));
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->length, size_t{64} << 20);
    EXPECT_EQ(fits->data[fits->length - 1], 'z');
}

}  // namespace
