#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "qorlib145.h"
#include "text_result.h"

namespace {

TEST(MinMax, SixteenBitValues) {
    struct Case {
        int16_t a, b, min, max;
    } cases[] = {
        {1, 3, 1, 3},   {3, 2, 2, 3}, {3, 12, 3, 12},
        {-5, 5, -5, 5}, {7, 7, 7, 7}, {-32768, 32767, -32768, 32767},
        {0, -1, -1, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Min(c.a, c.b), c.min) << c.a << "," << c.b;
        EXPECT_EQ(Max(c.a, c.b), c.max) << c.a << "," << c.b;
        EXPECT_EQ(Min(c.b, c.a), c.min) << c.b << "," << c.a;
        EXPECT_EQ(Max(c.b, c.a), c.max) << c.b << "," << c.a;
    }
}

TEST(Gcd, NonNegativeEvenAtTheLimits) {
    struct Case {
        int32_t a, b, gcd;
    } cases[] = {
        {18181818, 66666, 6},
        {0, 0, 0},
        {0, 7, 7},
        {-12, 18, 6},
        {12, -18, 6},
        {-12, -18, 6},
        {17, 5, 1},
        {INT32_MAX, INT32_MAX, INT32_MAX},
        {INT32_MIN, 6, 2},
        {INT32_MIN, INT32_MAX, 1},
        {INT32_MIN, 1 << 30, 1 << 30},
        {INT32_MIN, 0, INT32_MIN},  // 2^31 does not fit: its 32-bit pattern
        {INT32_MIN, INT32_MIN, INT32_MIN},
        {1836311903, 1134903170, 1},  // neighbouring Fibonacci numbers: the longest chain
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Gcd(c.a, c.b), c.gcd) << c.a << "," << c.b;
        EXPECT_EQ(Gcd(c.b, c.a), c.gcd) << c.b << "," << c.a;
    }
}

TEST(BaseConv, DigitsAndSign) {
    struct Case {
        int32_t value, base;
        const char *text;
    } cases[] = {
        {666, 2, "1010011010"},
        {666, 4, "22122"},
        {666, 8, "1232"},
        {666, 10, "666"},
        {666, 16, "29A"},
        {666, 36, "II"},
        {0, 2, "0"},
        {-666, 16, "-29A"},
        {INT32_MIN, 2, "-10000000000000000000000000000000"},
        {INT32_MIN, 16, "-80000000"},
        {INT32_MIN, 36, "-ZIK0ZK"},
        {INT32_MAX, 36, "ZIK0ZJ"},
        {35, 36, "Z"},
        {666, 1, ""},
        {666, 0, ""},
        {666, -16, ""},
        {666, 37, ""},
        {666, INT32_MIN, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(str(BaseConv(c.value, c.base)), c.text) << c.value << " base " << c.base;
}

TEST(BinToDec, LeadingDigitsLow32Bits) {
    struct Case {
        const char *digits;
        int32_t value;
    } cases[] = {
        {"1001001", 73},
        {"0", 0},
        {"1", 1},
        {"  101  ", 5},
        {"\t11", 3},
        {"1012", 5},  // a non-binary digit ends the number
        {"12", 1},
        {"2", 0},
        {"-101", 0},  // no sign
        {"", 0},
        {nullptr, 0},
        {"1111111111111111111111111111111", INT32_MAX},  // 31 ones
        {"11111111111111111111111111111111", -1},        // 32 ones: the bit pattern
        {"10000000000000000000000000000000", INT32_MIN},
        {"000000000000000000000000000000000000000000101", 5},  // leading zeros are free
        {"1000000000000000000000000000000001", 1},             // 34 digits: the low 32 bits
        {"110000000000000000000000000000000111", 7},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BinToDec(c.digits), c.value) << (c.digits ? c.digits : "(null)");
}

// Packed bytes, compared with little-endian patterns worked out by hand.
TEST(Packing, LittleEndianBytes) {
    EXPECT_EQ(str(Mki(6666)), "\x0A\x1A");
    EXPECT_EQ(str(Mki(-2)), "\xFE\xFF");
    EXPECT_EQ(str(Mki(0)), std::string(2, '\0'));
    EXPECT_EQ(str(Mkl(1818181818)), "\xBA\x40\x5F\x6C");
    EXPECT_EQ(str(Mkl(INT32_MIN)), std::string("\0\0\0\x80", 4));
    EXPECT_EQ(str(Mkf(66666.666f)), "\x55\x35\x82\x47");
    EXPECT_EQ(str(Mkd(6666666666.666)), "\xF0\xA7\xAA\x2A\xD4\xD5\xF8\x41");
    EXPECT_EQ(str(Mkd(-0.0)), std::string("\0\0\0\0\0\0\0\x80", 8));
}

// Calls a Cv function with the packed bytes as a by-value text, as callers pass them.
template <typename T>
T unpack(qor_text *packed, T (*cv)(const char *)) {
    Text t(packed);
    if (!t) {
        ADD_FAILURE() << "null text result";
        return T{};
    }
    return cv(t->data);
}

TEST(Packing, RoundTripsOfTheRigsValues) {
    EXPECT_EQ(unpack(Mki(6666), Cvi), 6666);
    EXPECT_EQ(unpack(Mkl(1818181818), Cvl), 1818181818);
    EXPECT_EQ(unpack(Mkf(66666.666f), Cvf), 66666.6640625f);
    EXPECT_EQ(unpack(Mkd(6666666666.666), Cvd), 6666666666.666);
}

TEST(Packing, RoundTripsAtTheLimitsWithoutNulBytes) {
    // Values whose packed bytes hold no NUL survive a by-value text exactly.
    for (int16_t v : {int16_t(-1), int16_t(0x7F7F), int16_t(-32767), int16_t(0x0101)})
        EXPECT_EQ(unpack(Mki(v), Cvi), v);
    for (int32_t v : {-1, INT32_MAX, INT32_MIN + 0x01010101, 0x01010101})
        EXPECT_EQ(unpack(Mkl(v), Cvl), v);
    for (float v : {std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(), -1.1f,
                    1.1f, -3.3e-30f})
        EXPECT_EQ(unpack(Mkf(v), Cvf), v);
    for (double v : {std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                     -1.1, 1.1, -3.3e-300})
        EXPECT_EQ(unpack(Mkd(v), Cvd), v);
    // NaNs keep their payload bits.
    float nanf = unpack(Mkf(std::bit_cast<float>(0x7FC12345u)), Cvf);
    EXPECT_EQ(std::bit_cast<uint32_t>(nanf), 0x7FC12345u);
    double nand = unpack(Mkd(std::bit_cast<double>(0xFFF8123456789ABCull)), Cvd);
    EXPECT_EQ(std::bit_cast<uint64_t>(nand), 0xFFF8123456789ABCull);
}

TEST(Packing, ShortTextsReadMissingBytesAsZero) {
    struct Case {
        const char *bytes;
        int16_t i;
        int32_t l;
    } cases[] = {
        {"", 0, 0},
        {nullptr, 0, 0},
        {"\x01", 1, 1},
        {"\x01\x02", 0x0201, 0x0201},
        {"\x01\x02\x03", 0x0201, 0x030201},
        {"\xFF\xFF\xFF\xFF\xFF", -1, -1},  // extra bytes are not read
        {"\xFF", 255, 255},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Cvi(c.bytes), c.i);
        EXPECT_EQ(Cvl(c.bytes), c.l);
    }
    // Zero bytes of a value packed with a NUL inside: everything from the NUL on reads 0.
    EXPECT_EQ(unpack(Mkl(0x00010203), Cvl), 0x00010203);
    EXPECT_EQ(unpack(Mkl(0x01000203), Cvl), 0x00000203);
    EXPECT_EQ(unpack(Mkd(1.0), Cvd), 0.0);  // 1.0 is 00..F03F: starts with NUL
    EXPECT_EQ(std::bit_cast<uint32_t>(Cvf("\x55\x35\x82")), 0x00823555u);
    EXPECT_EQ(Cvd("\x01"), std::numeric_limits<double>::denorm_min());
}

}  // namespace
