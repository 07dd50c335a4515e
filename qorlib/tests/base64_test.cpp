#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "../fuzz/codec_reference.h"
#include "qorlib145.h"
#include "text_result.h"

namespace {

// Calls EncodeString64 the way callers do: a by-reference text made with qor_text_new.
std::string encode(const std::string &bytes, int32_t line) {
    qor_text *arg = qor_text_new(bytes.data(), bytes.size());
    qor_text *before = arg;
    std::string out = str(EncodeString64(&arg, line));
    EXPECT_EQ(arg, before) << "the argument must stay in place";
    EXPECT_EQ(std::string(arg->data, arg->length), bytes) << "the argument must not change";
    qor_text_free(arg);
    return out;
}

std::string decode(const std::string &encoded, int32_t *count = nullptr) {
    qor_text *arg = qor_text_new(encoded.data(), encoded.size());
    std::string out = str(DecodeString64(&arg, count));
    EXPECT_EQ(std::string(arg->data, arg->length), encoded) << "the argument must not change";
    qor_text_free(arg);
    return out;
}

const std::string kSample = "The quick brown fox jumped uber the lazy dog";

TEST(EncodeString64, StandardAlphabetAndPadding) {
    struct Case {
        std::string bytes, encoded;
    } cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"Hello world", "SGVsbG8gd29ybGQ="},
        {std::string("\0\xFF\0", 3), "AP8A"},  // NULs are bytes like any other
        {"\xFB\xFF", "+/8="},
        {kSample, "VGhlIHF1aWNrIGJyb3duIGZveCBqdW1wZWQgdWJlciB0aGUgbGF6eSBkb2c="},
    };
    for (const Case &c : cases)
        EXPECT_EQ(encode(c.bytes, 0), c.encoded) << c.encoded;
}

TEST(EncodeString64, LineBreaks) {
    struct Case {
        std::string bytes;
        int32_t line;
        std::string encoded;
    } cases[] = {
        {kSample, 32, "VGhlIHF1aWNrIGJyb3duIGZveCBqdW1w\r\nZWQgdWJlciB0aGUgbGF6eSBkb2c="},
        {kSample, 64, "VGhlIHF1aWNrIGJyb3duIGZveCBqdW1wZWQgdWJlciB0aGUgbGF6eSBkb2c="},
        {kSample, 60,
         "VGhlIHF1aWNrIGJyb3duIGZveCBqdW1wZWQgdWJlciB0aGUgbGF6eSBkb2c="},  // exactly one line
        {kSample, 59, "VGhlIHF1aWNrIGJyb3duIGZveCBqdW1wZWQgdWJlciB0aGUgbGF6eSBkb2c\r\n="},
        {"foobar", 4, "Zm9v\r\nYmFy"},  // no break after the last line
        {"foobar", 1, "Z\r\nm\r\n9\r\nv\r\nY\r\nm\r\nF\r\ny"},
        {"foobar", -5, "Zm9vYmFy"},
        {"foobar", INT32_MIN, "Zm9vYmFy"},
        {"foobar", INT32_MAX, "Zm9vYmFy"},
        {"", 4, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(encode(c.bytes, c.line), c.encoded) << c.line;
}

TEST(EncodeString64, NullArguments) {
    EXPECT_EQ(str(EncodeString64(nullptr, 10)), "");
    qor_text *none = nullptr;
    EXPECT_EQ(str(EncodeString64(&none, 10)), "");
    EXPECT_EQ(none, nullptr);
}

TEST(DecodeString64, SkipsForeignCharactersAndStopsAtPadding) {
    struct Case {
        std::string encoded, bytes;
    } cases[] = {
        {"SGVsbG8gd29ybGQ=", "Hello world"},
        {"VGhlIHF1aWNrIGJyb3duIGZveCBqdW1w\r\nZWQgdWJlciB0aGUgbGF6eSBkb2c=", kSample},
        {" Zm9v\tYm Fy \n", "foobar"},
        {"Zm9v*Ym.Fy", "foobar"},
        {"Zm9v=YmFy", "foo"},  // nothing after the first "="
        {"Zm8", "fo"},         // padding may be missing
        {"Zg", "f"},
        {"Z", ""},      // six bits make no byte
        {"Zh==", "f"},  // leftover bits are ignored
        {"====", ""},
        {"", ""},
        {std::string("Zm\09v", 5), "foo"},  // a NUL in a by-reference text is skipped
        {"\xC3\xA9Zm9v", "foo"},
    };
    for (const Case &c : cases) {
        int32_t count = -7;
        EXPECT_EQ(decode(c.encoded, &count), c.bytes) << c.encoded;
        EXPECT_EQ(count, static_cast<int32_t>(c.bytes.size())) << c.encoded;
    }
}

TEST(DecodeString64, NullArguments) {
    int32_t count = 99;
    EXPECT_EQ(str(DecodeString64(nullptr, &count)), "");
    EXPECT_EQ(count, 0);
    qor_text *none = nullptr;
    count = 10001;
    EXPECT_EQ(str(DecodeString64(&none, &count)), "");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(decode("Zm9v", nullptr), "foo");
}

TEST(Base64, RoundTripsEveryByteAndRandomStrings) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    for (int32_t line : {0, 1, 20, 64, 76}) {
        int32_t count = 0;
        EXPECT_EQ(decode(encode(all, line), &count), all) << line;
        EXPECT_EQ(count, 256);
    }
    std::mt19937 rng(64);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(rng() % 200, '\0');
        for (char &c : bytes)
            c = static_cast<char>(rng());
        int32_t line = static_cast<int32_t>(rng() % 80) - 5;
        std::string encoded = encode(bytes, line);
        // Full lines of `line` characters, CR LF between them, none after the last.
        size_t at = 0, lines = 0;
        for (size_t br = encoded.find("\r\n"); br != std::string::npos;
             br = encoded.find("\r\n", at)) {
            EXPECT_EQ(br - at, static_cast<size_t>(line));
            at = br + 2;
            ++lines;
        }
        EXPECT_LE(encoded.size() - at, line > 0 ? static_cast<size_t>(line) : encoded.size());
        EXPECT_EQ(encoded.size() - 2 * lines, (bytes.size() + 2) / 3 * 4);
        EXPECT_EQ(decode(encoded), bytes) << "line " << line;
    }
}

// Long inputs, line lengths that split groups and ones that do not, and encodings with
// foreign characters, padding and cuts anywhere: the coders switch between their whole-group
// and character-by-character paths at every such place.
TEST(Base64, AgreesWithPlainCoders) {
    std::mt19937 rng(3);
    for (int round = 0; round < 400; ++round) {
        std::string bytes(round % 4 ? rng() % 300 : rng() % 9000, '\0');
        for (char &c : bytes)
            c = static_cast<char>(rng());
        const int32_t lines[] = {0, 1, 3, 4, 20, 57, 76, static_cast<int32_t>(rng() % 200)};
        const int32_t line = lines[rng() % std::size(lines)];
        std::string encoded = encode(bytes, line);
        ASSERT_EQ(encoded, reference::base64_encode(bytes, line)) << bytes.size() << " bytes, line " << line;

        for (int n = static_cast<int>(rng() % 8); n > 0; --n)
            encoded.insert(rng() % (encoded.size() + 1), 1, "\r\n \t*\0\xFF=-_"[rng() % 11]);
        encoded.resize(encoded.size() - rng() % std::min<size_t>(encoded.size() + 1, 3));
        int32_t count = -1;
        std::string decoded = decode(encoded, &count);
        ASSERT_EQ(decoded, reference::base64_decode(encoded)) << round;
        EXPECT_EQ(count, static_cast<int32_t>(decoded.size()));
    }
}

TEST(Base64, HundredFoldSampleWithShortLines) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += kSample;
    std::string encoded = encode(text, 20);
    // 4400 bytes give 5868 characters in 294 lines, so 293 line breaks.
    EXPECT_EQ(encoded.size(), 5868u + 2 * 293);
    EXPECT_EQ(encoded.substr(0, 22), "VGhlIHF1aWNrIGJyb3du\r\n");
    EXPECT_EQ(decode(encoded), text);
}

}  // namespace
