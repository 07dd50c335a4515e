#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "../fuzz/codec_reference.h"
#include "qorlib145.h"
#include "search.h"
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

// Plain searches to compare with: every start tried, every byte compared.
unsigned char folded(char c) {
    return reference::fold(static_cast<unsigned char>(c));
}

bool occurs_at(std::string_view text, std::string_view needle, size_t at, bool fold) {
    for (size_t i = 0; i < needle.size(); ++i)
        if (fold ? folded(text[at + i]) != folded(needle[i]) : text[at + i] != needle[i])
            return false;
    return true;
}

constexpr size_t npos = std::string_view::npos;

size_t naive_find(std::string_view text, std::string_view needle, bool fold, size_t from = 0) {
    for (size_t at = from; at + needle.size() <= text.size(); ++at)
        if (occurs_at(text, needle, at, fold))
            return at;
    return npos;
}

size_t naive_rfind(std::string_view text, std::string_view needle, bool fold) {
    for (size_t at = text.size() + 1; at-- > 0;)
        if (at + needle.size() <= text.size() && occurs_at(text, needle, at, fold))
            return at;
    return npos;
}

int32_t position(size_t at) {
    return at == npos ? 0 : static_cast<int32_t>(at + 1);
}

std::string naive_replace(std::string_view text, std::string_view find, std::string_view with) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (!find.empty() && i + find.size() <= text.size() && occurs_at(text, find, i, false)) {
            out += with;
            i += find.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

// Random texts and needles over small alphabets, where searches that skip ahead go wrong:
// periodic needles, long near-misses, letters in both cases (Latin-1 too) and bytes that
// differ from a letter only in the case bit. Texts run to a few KiB so that the quick
// filter also gives way to its fallback.
TEST(Search, AgreesWithNaiveSearch) {
    const std::string alphabets[] = {"ab",      "abc", "aA", "abAB\xE9\xC9", "a@`\xD7\xF7\xDF\xFF",
                                     "abcdefgh"};
    std::mt19937 rng(11);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    auto word_of = [&](const std::string &alphabet, size_t length) {
        std::string word;
        while (word.size() < length)
            word += alphabet[pick(alphabet.size())];
        return word;
    };
    auto periodic = [&](const std::string &alphabet, size_t length) {
        std::string unit = word_of(alphabet, 1 + pick(4)), text;
        while (text.size() < length)
            text += pick(50) ? unit : word_of(alphabet, 1);
        return text.substr(0, length);
    };
    // Texts made of pieces of the needle, a byte changed here and there, give long partial
    // matches that fail anywhere.
    auto pieces_of = [&](const std::string &needle, const std::string &alphabet, size_t length) {
        std::string text;
        while (text.size() < length) {
            size_t at = pick(2) ? 0 : pick(needle.size());
            text += needle.substr(at, 1 + pick(needle.size() - at));
            if (pick(3) == 0)
                text[pick(text.size())] = alphabet[pick(alphabet.size())];
        }
        return text.substr(0, length);
    };
    for (int round = 0; round < 4000; ++round) {
        const std::string &alphabet = alphabets[pick(std::size(alphabets))];
        std::string needle;
        switch (pick(3)) {
            case 0:
                needle = word_of(alphabet, 1 + pick(8));
                break;
            case 1:
                needle = periodic(alphabet, 1 + pick(80));
                break;
            default:
                needle = periodic(alphabet, 1 + pick(300));
                needle.back() = alphabet[pick(alphabet.size())];
        }
        size_t length = round % 3 ? pick(40) : pick(5000);
        std::string text;
        switch (pick(3)) {
            case 0:
                text = word_of(alphabet, length);
                break;
            case 1:
                text = periodic(alphabet, length);
                break;
            default:
                text = pieces_of(needle, alphabet, length);
        }
        if (pick(4) == 0 && needle.size() <= text.size()) {  // plant one, letters folded
            std::string planted = needle;
            for (char &c : planted)
                if (pick(4) == 0)
                    c = static_cast<char>(folded(c));
            text.replace(pick(text.size() - needle.size() + 1), needle.size(), planted);
        }
        SCOPED_TRACE(::testing::Message() << "round " << round << " text " << text.size()
                                          << " needle \"" << needle << "\"");
        ASSERT_EQ(InStrI(text.c_str(), needle.c_str()), position(naive_find(text, needle, true)));
        ASSERT_EQ(InStrRev(text.c_str(), needle.c_str()),
                  position(naive_rfind(text, needle, false)));
        // The finder itself, from any start, backward with folding, and its Two-Way
        // fallback alone (short texts never reach it otherwise).
        size_t from = pick(text.size() + 2);
        for (bool fold : {false, true}) {
            qorlib::Finder finder(needle, fold);
            const size_t first = naive_find(text, needle, fold, from);
            const size_t last = naive_rfind(text, needle, fold);
            ASSERT_EQ(finder.find(text, from), first) << fold;
            ASSERT_EQ(finder.rfind(text), last) << fold;
            ASSERT_EQ(finder.find_two_way(text, from), first) << fold;
            ASSERT_EQ(finder.rfind_two_way(text), last) << fold;
        }
        std::string with = word_of(alphabet, pick(3));
        ASSERT_EQ(str(Replace(text.c_str(), needle.c_str(), with.c_str())),
                  naive_replace(text, needle, with));
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
