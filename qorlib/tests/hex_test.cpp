#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "../fuzz/codec_reference.h"
#include "qorlib145.h"
#include "text_result.h"

namespace {

TEST(StringToHex, UpperCaseTwoDigitsPerByte) {
    struct Case {
        const char *text, *hex;
    } cases[] = {
        {"Hello World", "48656C6C6F20576F726C64"},
        {"The quick brown fox jumped uber the lazy dog",
         "54686520717569636B2062726F776E20666F78206A756D706564207562657220746865206C617A7920646F6"
         "7"},
        {"\x01\x0F\x10\x7F\x80\xAB\xFF", "010F107F80ABFF"},
        {"", ""},
        {nullptr, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(StringToHex(c.text)), c.hex) << c.hex;
}

TEST(HexToStr, DecodesUntilFirstBadOrOddDigit) {
    struct Case {
        const char *hex;
        std::string bytes;
    } cases[] = {
        {"48656C6C6F20576F726C64", "Hello World"},
        {"48656c6c6f", "Hello"},  // either case
        {"4865A", "He"},          // an odd last digit is dropped
        {"48G565", "H"},          // a non-digit ends the decoding
        {"4 8", ""},
        {"0041", std::string("\0A", 2)},  // a NUL byte is decoded like any other
        {"", ""},
        {nullptr, ""},
        {"0x41", ""},  // no prefixes here: "0x" is not a pair of digits
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(HexToStr(c.hex)), c.bytes) << (c.hex ? c.hex : "(null)");
}

TEST(HexToStr, RoundTripsEveryByteAndRandomTexts) {
    std::string all;
    for (int b = 1; b < 256; ++b)  // a by-value text cannot hold NUL
        all += static_cast<char>(b);
    Text hex(StringToHex(all.c_str()));
    ASSERT_TRUE(hex);
    EXPECT_EQ(hex->length, 2 * all.size());
    EXPECT_EQ(str(HexToStr(hex->data)), all);

    // Against the plain per-byte coders, with digits of either case and a stray character
    // anywhere, so that decoding stops inside and outside its blocks of pairs.
    std::mt19937 rng(145);
    for (int round = 0; round < 300; ++round) {
        std::string text(rng() % 300, '\0');
        for (char &c : text)
            c = static_cast<char>(1 + rng() % 255);
        std::string hex = reference::hex_upper(text);
        ASSERT_EQ(str(StringToHex(text.c_str())), hex);
        for (char &c : hex)
            if (rng() % 2)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (round % 2 && !hex.empty())
            hex[rng() % hex.size()] = "g: \x01\xFF"[rng() % 5];
        ASSERT_EQ(str(HexToStr(hex.c_str())), reference::hex_pairs(hex)) << hex;
    }
}

TEST(CharToHex, EveryByteBothWays) {
    EXPECT_EQ(str(CharToHex(42)), "2A");
    EXPECT_EQ(str(CharToHex(73)), "49");
    EXPECT_EQ(str(CharToHex(0)), "00");
    EXPECT_EQ(str(CharToHex(255)), "FF");
    for (int b = 0; b < 256; ++b) {
        std::string hex = str(CharToHex(static_cast<uint8_t>(b)));
        ASSERT_EQ(hex.size(), 2u);
        EXPECT_EQ(HexToChar(hex.c_str()), b) << hex;
    }
}

TEST(HexToChar, LeadingDigits) {
    struct Case {
        const char *hex;
        int value;
    } cases[] = {
        {"2A", 42},  {"0", 0},     {"00", 0}, {"QF", 0},   {"\tF", 0}, {"FF", 255},
        {"", 0},     {nullptr, 0}, {"f", 15}, {"fF", 255}, {"A", 10},  {"1G", 1},
        {"123", 18}, {"7fZ", 127}, {" 1", 0}, {"-1", 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HexToChar(c.hex), c.value) << (c.hex ? c.hex : "(null)");
}

TEST(IntToHex, FourDigits) {
    struct Case {
        int16_t value;
        const char *hex;
    } cases[] = {
        {23457, "5BA1"}, {32767, "7FFF"}, {-1, "FFFF"}, {0, "0000"}, {-32768, "8000"}, {42, "002A"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(IntToHex(c.value)), c.hex) << c.value;
}

TEST(LongToHex, RoundsThenWrapsModulo2To32) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        const char *hex;
    } cases[] = {
        {32766, "00007FFE"},
        {65535, "0000FFFF"},
        {-1, "FFFFFFFF"},
        {9098293, "008AD435"},
        {4294967294.0, "FFFFFFFE"},
        {4294967295.0, "FFFFFFFF"},
        {4294967296.0, "00000000"},
        {4294967297.0, "00000001"},
        {-4294967296.0, "00000000"},
        {-2147483648.0, "80000000"},
        {2.5, "00000003"},   // halves away from zero
        {-2.5, "FFFFFFFD"},  // -3
        {2.4999, "00000002"},
        {-0.4, "00000000"},
        {1e300, "00000000"},                   // a multiple of 2^32
        {18446744073709551615.0, "00000000"},  // 2^64 exactly as a double
        {1152921504606846977.0, "00000000"},   // rounds to 2^60 as a double
        {4503599627370497.0, "00000001"},      // 2^52 + 1
        {std::nan(""), "00000000"},
        {inf, "00000000"},
        {-inf, "00000000"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(LongToHex(c.value)), c.hex) << c.value;
}

TEST(HexToNumbers, LeadingDigitsAsUnsignedValues) {
    struct Case {
        const char *hex;
        double as_long, as_double;
    } cases[] = {
        {"FFFF", 65535, 65535},
        {"FFFFFF", 16777215, 16777215},
        {"FFFFFFFF", 4294967295.0, 4294967295.0},
        {"FFFFFFFFFFFF", 4294967295.0, 281474976710655.0},
        {"2FFFFFFFFFFFF", 805306367.0, 844424930131967.0},
        {"3FFFFFFFFFFFF", 1073741823.0, 1125899906842623.0},
        {"7FFFFFFFFFFFFFFF", 2147483647.0, 9223372036854775808.0},
        {"FFFFFFFFFFFFFFFF", 4294967295.0, 18446744073709551616.0},
        {"123456789ABCDEF012", 305419896.0, 1311768467463790320.0},  // later digits not read
        {"0x1f", 31, 31},
        {"0X1F", 31, 31},
        {"&H1f", 31, 31},
        {"&hFF", 255, 255},
        {"  \t0xFF", 255, 255},
        {"ffz12", 255, 255},
        {"0x", 0, 0},
        {"0h12", 0, 0},  // "0h" is no prefix: the 0 is read, then "h" ends the digits
        {"&x12", 0, 0},
        {"-1", 0, 0},
        {"G1", 0, 0},
        {"", 0, 0},
        {nullptr, 0, 0},
        {"00000000000000001", 0, 0},  // 17 digits: the 1 is past the 16th
    };
    for (const Case &c : cases) {
        EXPECT_EQ(HexToLong(c.hex), c.as_long) << (c.hex ? c.hex : "(null)");
        EXPECT_EQ(HexToDouble(c.hex), c.as_double) << (c.hex ? c.hex : "(null)");
    }
}

}  // namespace
