#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "qorlib145.h"
#include "text_result.h"

namespace {

std::string pack(const char *number) {
    return str(BitPack(number, 0));
}

std::string unpack(const std::string &packed) {
    return str(BitUnPack(packed.c_str(), 0));
}

TEST(BitPack, PacksTwoCharactersToAByte) {
    struct Case {
        const char *number;
        std::string packed;
    } cases[] = {
        {"0.12345656789", "\x1B\x23\x45\x67\x67\x89\xAF"},
        {"+0.12345656789", "\xC1\xB2\x34\x56\x76\x78\x9A"},
        {"0", "\x1F"},
        {"90", "\xA1"},
        {"-1.5E+3", "\xD2\xB6\xEC\x4F"},
        {"-1.5e+3", "\xD2\xB6\xEC\x4F"},
        {"", ""},
        {nullptr, ""},
        // Anything but digits, ".", "+", "-" and "E" makes the whole text unpackable.
        {"1 2", ""},
        {"12a", ""},
        {"1,5", ""},
        {"0x1F", ""},
        {"12\xFF", ""},
        {" 12", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(pack(c.number), c.packed) << (c.number ? c.number : "(null)");
}

TEST(BitPack, OtherFlagsActLikeZero) {
    EXPECT_EQ(str(BitPack("-12.5", 7)), pack("-12.5"));
    EXPECT_EQ(str(BitUnPack("\xD2\x3B\x6F", -1)), "-12.5");
}

TEST(BitUnPack, ReversesAndStopsAtPadOrInvalidCode) {
    struct Case {
        std::string packed;
        const char *number;
    } cases[] = {
        {"\x1B\x23\x45\x67\x67\x89\xAF", "0.12345656789"},
        {"\xC1\xB2\x34\x56\x76\x78\x9A", "+0.12345656789"},
        {"\xD2\xB6\xEC\x4F", "-1.5E+3"},  // "e" and "E" share a code: "E" comes back
        {"\x1F\x23", "0"},                // a pad ends the number
        {"\x10\x23", "0"},                // so does the unused code 0
        {"\x01", ""},
        {"\xF1", ""},
        {"\xFF", ""},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(unpack(c.packed), c.number) << c.number;
    EXPECT_EQ(str(BitUnPack(nullptr, 0)), "");
}

TEST(BitUnPack, PlainTextStopsAtTheFirstInvalidNibble) {
    // "A" is 0x41: codes 4 and 1 ("3" and "0"); "B" 0x42: "3" "1"; "@" 0x40: "3", then the
    // code 0 ends it before "C".
    EXPECT_EQ(unpack("AB@C"), "30313");
}

TEST(BitPack, RoundTripsRandomNumbers) {
    static constexpr char kAlphabet[] = "0123456789.+-Ee";
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> length(0, 41);
    std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 2);
    for (int round = 0; round < 2000; ++round) {
        std::string number;
        for (int n = length(random); n > 0; --n)
            number += kAlphabet[pick(random)];
        const std::string packed = pack(number.c_str());
        ASSERT_EQ(packed.size(), (number.size() + 1) / 2) << number;
        ASSERT_EQ(packed.find('\0'), std::string::npos) << number;
        std::string expected = number;
        for (char &c : expected)
            if (c == 'e')
                c = 'E';
        ASSERT_EQ(unpack(packed), expected);
    }
}

TEST(Rotate, LongSwapsItsHalves) {
    struct Case {
        int32_t value, rotated;
    } cases[] = {
        {987654321, 1756445406},
        {0, 0},
        {-1, -1},
        {1, 65536},
        {0x12345678, 0x56781234},
        {std::numeric_limits<int32_t>::min(), 32768},
        {std::numeric_limits<int32_t>::max(), -32769},
    };
    for (const Case &c : cases) {
        int32_t value = c.value;
        int32_t once = RotateLong(&value);
        EXPECT_EQ(once, c.rotated) << c.value;
        EXPECT_EQ(value, c.value) << "the argument is left as it was";
        EXPECT_EQ(RotateLong(&once), c.value);
    }
    EXPECT_EQ(RotateLong(nullptr), 0);
}

TEST(Rotate, IntSwapsItsBytes) {
    struct Case {
        int16_t value, rotated;
    } cases[] = {
        {12345, 14640},
        {0, 0},
        {-1, -1},
        {1, 256},
        {std::numeric_limits<int16_t>::min(), 128},
        {std::numeric_limits<int16_t>::max(), -129},
    };
    for (const Case &c : cases) {
        int16_t value = c.value;
        int16_t once = RotateInt(&value);
        EXPECT_EQ(once, c.rotated) << c.value;
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(RotateInt(&once), c.value);
    }
    EXPECT_EQ(RotateInt(nullptr), 0);
}

TEST(Rotate, ByteSwapsItsNibbles) {
    struct Case {
        uint8_t value, rotated;
    } cases[] = {{123, 183}, {0, 0}, {255, 255}, {1, 16}, {0xF0, 0x0F}, {0x80, 0x08}};
    for (const Case &c : cases) {
        uint8_t value = c.value;
        uint8_t once = RotateByte(&value);
        EXPECT_EQ(once, c.rotated) << int(c.value);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(RotateByte(&once), c.value);
    }
    EXPECT_EQ(RotateByte(nullptr), 0);
}

}  // namespace
