#include <gtest/gtest.h>

#include <random>
#include <string>

#include "../fuzz/codec_reference.h"
#include "qorlib145.h"
#include "text_result.h"

namespace {

// Expectations written from the form encoding of a common scripting runtime, which keeps
// letters, digits, "-", "_", "." and "~", turns a blank into "+" and the rest into %XX.
TEST(URLEncode, FormEncoding) {
    struct Case {
        const char *text, *encoded;
    } cases[] = {
        {" #$%&/;:<=>?@[^`{|}~", "+%23%24%25%26%2F%3B%3A%3C%3D%3E%3F%40%5B%5E%60%7B%7C%7D~"},
        {"a b", "a+b"},
        {"AZaz09-_.~", "AZaz09-_.~"},
        {"\x01\x7F\x80\xFF", "%01%7F%80%FF"},
        {"caf\xE9 au lait", "caf%E9+au+lait"},
        {"100% \"sure\"", "100%25+%22sure%22"},
        {"!*'()", "%21%2A%27%28%29"},
        {"x+y=z", "x%2By%3Dz"},
        {"\\path\\to", "%5Cpath%5Cto"},
        {"\t\r\n", "%09%0D%0A"},
        {"", ""},
        {nullptr, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(URLEncode(c.text)), c.encoded) << (c.text ? c.text : "(null)");
}

TEST(URLDecode, ReversesFormEncodingAndKeepsStrayPercents) {
    struct Case {
        const char *text;
        std::string decoded;
    } cases[] = {
        {"+%23%24%25%26%2F%3B%3A%3C%3D%3E%3F%40%5B%5E%60%7B%7C%7D~", " #$%&/;:<=>?@[^`{|}~"},
        {"caf%e9", "caf\xE9"},  // either case of hex digit
        {"caf%E9", "caf\xE9"},
        {"a+b%2Bc", "a b+c"},
        {"+%20+", "   "},
        {"%41%42%43", "ABC"},
        {"%%41", "%A"},
        {"%", "%"},
        {"abc%", "abc%"},
        {"abc%4", "abc%4"},
        {"%2", "%2"},
        {"%zz", "%zz"},
        {"%4g1", "%4g1"},
        {"%g4", "%g4"},
        {"a%00b", std::string("a\0b", 3)},  // an encoded NUL comes back as a byte
        {"", ""},
        {nullptr, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(URLDecode(c.text)), c.decoded) << (c.text ? c.text : "(null)");
}

// Against the plain per-byte coders, on texts long enough for the word-at-a-time paths: mostly
// unreserved (with blanks), mostly escaped, mixed, and texts whose share of escapes changes
// after their start (the result outgrows the estimate its start gave, or falls short of it).
TEST(URLEncode, AgreesWithPlainCoders) {
    const std::string unreserved =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.~";
    std::mt19937 random(17);
    auto pick_share = [&] { return random() % 3 == 0 ? 90u : random() % 10; };
    for (int round = 0; round < 300; ++round) {
        const unsigned first_share = pick_share(), later_share = pick_share();
        const size_t change_at = random() % 200;
        std::string text;
        for (size_t n = random() % 2000; n > 0; --n) {
            const unsigned escaped_share = text.size() < change_at ? first_share : later_share;
            unsigned roll = random() % 100;
            text += roll < escaped_share ? static_cast<char>(1 + random() % 255)
                    : roll % 6 == 0      ? ' '
                                         : unreserved[random() % unreserved.size()];
        }
        std::string encoded = reference::url_encode(text);
        ASSERT_EQ(str(URLEncode(text.c_str())), encoded) << round;

        // Decoding: the encoding with stray "%", "+" and hex digits mixed in.
        for (int k = random() % 10; k > 0; --k)
            encoded.insert(random() % (encoded.size() + 1), 1, "%+4Fg"[random() % 5]);
        ASSERT_EQ(str(URLDecode(encoded.c_str())), reference::url_decode(encoded)) << round;
    }
}

TEST(URLEncode, RoundTripsRandomTexts) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> length(0, 60);
    std::uniform_int_distribution<int> byte(1, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int n = length(random); n > 0; --n)
            text += static_cast<char>(byte(random));
        const std::string encoded = str(URLEncode(text.c_str()));
        ASSERT_EQ(encoded.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                            "0123456789-_.~+%"),
                  std::string::npos)
            << encoded;
        ASSERT_EQ(str(URLDecode(encoded.c_str())), text);
    }
}

}  // namespace
