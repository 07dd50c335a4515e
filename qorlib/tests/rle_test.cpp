#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "../fuzz/packbits_reference.h"
#include "qorlib145.h"
#include "text_result.h"

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

std::string hex(const std::string &s) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    return out;
}

std::string pack(const std::string &in, int32_t *length_out = nullptr) {
    int32_t length = -99;
    Text t(RLECompress(in.data(), static_cast<int32_t>(in.size()), &length));
    EXPECT_TRUE(t);
    if (!t)
        return {};
    EXPECT_EQ(static_cast<size_t>(length), t->length);
    if (length_out)
        *length_out = length;
    return std::string(t->data, t->length);
}

std::string unpack(const std::string &packed, int32_t *length_out = nullptr) {
    // An exact-size heap copy, so a read past the packed bytes shows up under ASan.
    std::unique_ptr<char[]> buffer(new char[packed.size() ? packed.size() : 1]);
    std::copy(packed.begin(), packed.end(), buffer.get());
    int32_t length = static_cast<int32_t>(packed.size());
    Text t(RLEUncompress(buffer.get(), &length));
    EXPECT_TRUE(t);
    if (!t)
        return {};
    EXPECT_EQ(static_cast<size_t>(length), t->length);
    if (length_out)
        *length_out = length;
    return std::string(t->data, t->length);
}

// The packing the header promises, by a plain search, and a plain decoder (shared with the
// fuzz targets).
std::string reference_pack(const std::string &s) {
    return reference::pack(reinterpret_cast<const uint8_t *>(s.data()), s.size());
}

std::string repeated(char c, size_t n) {
    return std::string(n, c);
}

std::string counting(int from, int count) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += static_cast<char>(from + i);
    return s;
}

struct PackCase {
    const char *name;
    std::string input;
    std::string packed;
};

TEST(RLECompress, PacksKnownVectors) {
    const std::string x128 = repeated('x', 128);
    const PackCase cases[] = {
        {"single byte", "A", bytes({0x00, 'A'})},
        {"pair is a repeat", "AA", bytes({0xFF, 'A'})},
        {"triple", "AAA", bytes({0xFE, 'A'})},
        {"three literals", "ABC", bytes({0x02, 'A', 'B', 'C'})},
        {"pairs", "AABB", bytes({0xFF, 'A', 0xFF, 'B'})},
        {"run of four between literals", "ABBBBC", bytes({0x00, 'A', 0xFD, 'B', 0x00, 'C'})},
        {"pair inside literals stays literal", "ABCDDEFG",
         bytes({0x07, 'A', 'B', 'C', 'D', 'D', 'E', 'F', 'G'})},
        {"tie: leading pair is a repeat", "AABCDE", bytes({0xFF, 'A', 0x03, 'B', 'C', 'D', 'E'})},
        {"tie: triple between literals, one literal run", "ABBBC",
         bytes({0x04, 'A', 'B', 'B', 'B', 'C'})},
        {"alternating", "ABABAB", bytes({0x05, 'A', 'B', 'A', 'B', 'A', 'B'})},
        {"NULs are data", std::string("\0\0\0a", 4), bytes({0xFE, 0x00, 0x00, 'a'})},
        {"run then literal", "AAAB", bytes({0xFE, 'A', 0x00, 'B'})},
        {"longest repeat", x128, bytes({0x81, 'x'})},
        {"repeat of 129", repeated('x', 129), bytes({0x81, 'x', 0x00, 'x'})},
        {"repeat of 130", repeated('x', 130), bytes({0x81, 'x', 0xFF, 'x'})},
        {"repeat of 300", repeated('x', 300), bytes({0x81, 'x', 0x81, 'x', 0xD5, 'x'})},
        {"longest literal", counting(0, 128), bytes({0x7F}) + counting(0, 128)},
        {"literal of 129", counting(0, 129),
         bytes({0x7F}) + counting(0, 128) + bytes({0x00, 0x80})},
        {"all byte values", counting(0, 256),
         bytes({0x7F}) + counting(0, 128) + bytes({0x7F}) + counting(128, 128)},
    };
    for (const PackCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(hex(pack(c.input)), hex(c.packed));
        EXPECT_EQ(unpack(c.packed), c.input);
    }
}

TEST(RLECompress, EmptyOrAbsentInputGivesEmptyText) {
    struct {
        const char *name;
        const char *text;
        int32_t length;
    } cases[] = {
        {"null text", nullptr, 10},
        {"zero length", "abc", 0},
        {"negative length", "abc", -5},
        {"most negative length", "abc", INT32_MIN},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        int32_t length = 1234;
        Text t(RLECompress(c.text, c.length, &length));
        ASSERT_TRUE(t);
        EXPECT_EQ(t->length, 0u);
        EXPECT_EQ(length, 0);
    }
}

TEST(RLECompress, ReadsOnlyLengthBytesAndToleratesNullLength) {
    const char text[] = "aaaaXYZ";
    Text t(RLECompress(text, 4, nullptr));
    ASSERT_TRUE(t);
    EXPECT_EQ(hex(std::string(t->data, t->length)), hex(bytes({0xFD, 'a'})));
}

TEST(RLECompress, IsTheDocumentedShortestCodingAndWithinTheBound) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 400; ++round) {
        // Small alphabets and a run-length bias give every mix of runs and literals; now
        // and then runs past 128 bytes, and texts past 2 KiB, which the encoder reads
        // differently.
        const int alphabet = 1 + static_cast<int>(rng() % 4);
        const int max_run = round % 7 == 0 ? 300 : 1 + static_cast<int>(rng() % 6);
        std::string s;
        const size_t length = round % 10 == 0 ? 2049 + rng() % 2000 : rng() % 400;
        while (s.size() < length)
            s.append(1 + rng() % max_run, static_cast<char>('a' + rng() % alphabet));
        s.resize(length);
        SCOPED_TRACE(s);
        const std::string packed = pack(s);
        EXPECT_EQ(hex(packed), hex(reference_pack(s)));
        EXPECT_LE(packed.size(), s.size() + (s.size() + 127) / 128);
        EXPECT_EQ(unpack(packed), s);
    }
}

// Alternating texts with a short repeat once sent the encoder's queue of literal-run ends
// round its ring: a literal header announcing 128 bytes before 384, a coding a byte too
// long, and a pass of seconds over 260 bytes.
TEST(RLECompress, AlternatingTextsAroundAShortRepeat) {
    std::string ab;
    for (int i = 0; i < 128; ++i)
        ab += "ab";
    const std::string tail = ab.substr(0, 255);
    const std::string texts[] = {ab.substr(0, 128) + "xxx" + tail, "axxx" + tail, "axxxx" + tail};
    for (const std::string &s : texts) {
        SCOPED_TRACE(s.size());
        const std::string packed = pack(s);
        EXPECT_EQ(hex(packed), hex(reference_pack(s)));
        EXPECT_EQ(unpack(packed), s);
    }
}

// A literal run may end where 128 bytes run out, on a tie with an end just before it: at
// the second byte of a pair, or 129 bytes before the end of a long run. The longer must win.
TEST(RLECompress, TiesAtTheEdgeOfALiteralRun) {
    const std::string singles = counting(1, 127);
    const std::string texts[] = {
        singles + "aa" + "bc",
        singles + repeated('x', 130) + "bc",
        "z" + singles + "aa" + "bcd",
        singles + repeated('x', 258) + "bc",
    };
    for (const std::string &s : texts) {
        SCOPED_TRACE(s.size());
        EXPECT_EQ(hex(pack(s)), hex(reference_pack(s)));
    }
}

TEST(RLECompress, RoundTripsEveryByteString) {
    std::mt19937 rng(7);
    std::vector<std::string> texts;
    std::string all;
    for (int v = 0; v < 256; ++v)
        all.append(static_cast<size_t>(1 + v % 5), static_cast<char>(v));
    texts.push_back(all);
    for (int round = 0; round < 50; ++round) {
        std::string s(rng() % 5000, '\0');
        for (char &c : s)
            c = static_cast<char>(rng());
        texts.push_back(s);
    }
    // Longer than the encoder's block, with runs crossing the block edges.
    std::string big;
    while (big.size() < 200000)
        big.append(1 + rng() % 300, static_cast<char>(rng()));
    texts.push_back(big);
    texts.push_back(std::string(140000, '\0'));
    for (const std::string &s : texts) {
        int32_t packed_length = 0, unpacked_length = 0;
        const std::string packed = pack(s, &packed_length);
        EXPECT_LE(packed.size(), s.size() + (s.size() + 127) / 128);
        EXPECT_EQ(unpack(packed, &unpacked_length), s);
        EXPECT_EQ(unpacked_length, static_cast<int32_t>(s.size()));
    }
    // A block edge costs at most one header byte over the shortest coding.
    EXPECT_LE(pack(std::string(140000, '\0')).size(), 2 * (140000 / 128 + 1) + 2);
}

struct UnpackCase {
    const char *name;
    std::string packed;
    std::string unpacked;
};

TEST(RLEUncompress, HandlesMalformedAndTruncatedInput) {
    const UnpackCase cases[] = {
        {"nothing", "", ""},
        {"no-op only", bytes({0x80}), ""},
        {"no-ops around a literal", bytes({0x80, 0x00, 'A', 0x80}), "A"},
        {"truncated literal keeps the bytes present", bytes({0x02, 'A', 'B'}), "AB"},
        {"literal header alone", bytes({0x7F}), ""},
        {"repeat header without its byte", bytes({0xFE}), ""},
        {"repeat header cut off after data", bytes({0x00, 'A', 0xFE}), "A"},
        {"NUL literal", bytes({0x01, 0x00, 'A'}), std::string("\0A", 2)},
        {"NUL repeat", bytes({0xFD, 0x00}), std::string(4, '\0')},
        {"longest repeat", bytes({0x81, 'x'}), repeated('x', 128)},
        {"repeat of two", bytes({0xFF, 'q'}), "qq"},
    };
    for (const UnpackCase &c : cases) {
        SCOPED_TRACE(c.name);
        int32_t length = -1;
        EXPECT_EQ(unpack(c.packed, &length), c.unpacked);
        EXPECT_EQ(length, static_cast<int32_t>(c.unpacked.size()));
    }
}

// Any bytes at all, long enough for every kind of unit to meet every other, malformed
// ones and a cut-off end included.
TEST(RLEUncompress, AgreesWithAPlainDecoderOnAnyBytes) {
    std::mt19937 rng(11);
    const unsigned char headers[] = {0x00, 0x01, 0x0F, 0x10, 0x11, 0x7F,
                                     0x80, 0x81, 0xF0, 0xF1, 0xFE, 0xFF};
    for (int round = 0; round < 3000; ++round) {
        std::string packed(rng() % 700, '\0');
        for (char &c : packed)
            c = static_cast<char>(rng() % 3 ? headers[rng() % std::size(headers)] : rng());
        SCOPED_TRACE(hex(packed));
        const std::string expected =
            reference::unpack(reinterpret_cast<const uint8_t *>(packed.data()), packed.size());
        int32_t length = -1;
        EXPECT_EQ(unpack(packed, &length), expected);
        EXPECT_EQ(length, static_cast<int32_t>(expected.size()));
    }
}

TEST(RLEUncompress, ReadsExactlyThePackedLength) {
    const char packed[] = {0x00, 'A', 0x00, 'B'};
    int32_t length = 2;
    Text t(RLEUncompress(packed, &length));
    ASSERT_TRUE(t);
    EXPECT_EQ(std::string(t->data, t->length), "A");
    EXPECT_EQ(length, 1);
}

TEST(RLEUncompress, BadArgumentsGiveEmptyText) {
    struct {
        const char *name;
        const char *packed;
        int32_t length;
    } cases[] = {
        {"null packed text", nullptr, 5},
        {"zero length",
         "\x00"
         "A",
         0},
        {"negative length",
         "\x00"
         "A",
         -2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        int32_t length = c.length;
        Text t(RLEUncompress(c.packed, &length));
        ASSERT_TRUE(t);
        EXPECT_EQ(t->length, 0u);
        EXPECT_EQ(length, 0);
    }
    Text t(
        RLEUncompress("\x00"
                      "A",
                      nullptr));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->length, 0u);
}

TEST(RLEUncompress, OutputIsBoundedByTheInput) {
    // Every pair of bytes a longest repeat: 64 times the packed size, and no more.
    std::string packed;
    for (int i = 0; i < 1000; ++i)
        packed += bytes({0x81, 'z'});
    EXPECT_EQ(unpack(packed), repeated('z', 128000));
}

}  // namespace
