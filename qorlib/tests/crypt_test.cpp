#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "qorlib145.h"

namespace qorlib {
unsigned char scramble_byte(unsigned char x, unsigned char k) noexcept;
}

namespace {

std::string encrypt(std::string text, const char *password, const char *salt = nullptr,
                    int32_t mode = -1) {
    EncryptString(text.data(), static_cast<int32_t>(text.size()), password, mode, salt);
    return text;
}

const std::string kSample = "The quick brown fox jumped uber the lazy dog";

// The byte map, checked for every byte and every keystream byte: it undoes itself,
// keeps NUL as NUL and never makes a NUL from anything else.
TEST(EncryptString, ByteMapIsAnInvolutionThatKeepsNul) {
    for (int k = 0; k < 256; ++k) {
        for (int x = 0; x < 256; ++x) {
            const auto y =
                qorlib::scramble_byte(static_cast<unsigned char>(x), static_cast<unsigned char>(k));
            ASSERT_EQ(qorlib::scramble_byte(y, static_cast<unsigned char>(k)), x) << x << " " << k;
            ASSERT_EQ(y == 0, x == 0) << x << " " << k;
        }
    }
}

TEST(EncryptString, TwiceGivesTheTextBackAndNulsStay) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 500; ++round) {
        std::string text(rng() % 300, '\0');
        for (char &c : text)
            c = static_cast<char>(rng() % 256);  // NUL bytes included
        std::string password(1 + rng() % 20, 'x');
        for (char &c : password)
            c = static_cast<char>(1 + rng() % 255);
        std::string salt(rng() % 5, 's');
        const std::string once = encrypt(text, password.c_str(), salt.c_str());
        ASSERT_EQ(once.size(), text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            ASSERT_EQ(once[i] == '\0', text[i] == '\0') << "position " << i;
        ASSERT_EQ(encrypt(once, password.c_str(), salt.c_str()), text);
    }
}

TEST(EncryptString, ScramblesTheSample) {
    const std::string once = encrypt(kSample, "mangel");
    EXPECT_NE(once, kSample);
    EXPECT_EQ(once.find('\0'), std::string::npos);
    // Most positions change (a byte stays only where it equals its keystream byte).
    int same = 0;
    for (std::size_t i = 0; i < kSample.size(); ++i)
        same += once[i] == kSample[i];
    EXPECT_LT(same, 4);
    EXPECT_EQ(encrypt(once, "mangel"), kSample);
}

TEST(EncryptString, EveryPasswordByteAndTheSaltMatter) {
    const std::string base = encrypt(kSample, "mangel");
    const std::string password = "mangel";
    for (std::size_t i = 0; i < password.size(); ++i) {
        std::string changed = password;
        changed[i] = static_cast<char>(changed[i] ^ 1);
        EXPECT_NE(encrypt(kSample, changed.c_str()), base) << "byte " << i;
    }
    EXPECT_NE(encrypt(kSample, "mangel2"), base);
    EXPECT_NE(encrypt(kSample, "mange"), base);
    EXPECT_NE(encrypt(kSample, "mangel", "pepper"), base);
    EXPECT_NE(encrypt(kSample, "mangel", "pepper"), encrypt(kSample, "mangel", "peppes"));
    // A null salt and an empty one both mean no salt; every mode is the one cipher.
    EXPECT_EQ(encrypt(kSample, "mangel", ""), base);
    EXPECT_EQ(encrypt(kSample, "mangel", nullptr, 0), base);
    EXPECT_EQ(encrypt(kSample, "mangel", nullptr, 7), base);
}

TEST(EncryptString, TouchesOnlyTheGivenLength) {
    struct Row {
        int32_t length;
        std::size_t changedUpTo;  // bytes from here on must stay as they were
    } rows[] = {{0, 0}, {-5, 0}, {1, 1}, {10, 10}, {44, 44}};
    for (const auto &row : rows) {
        std::string buffer = kSample + "|guard|";
        EncryptString(buffer.data(), row.length, "mangel", -1, nullptr);
        EXPECT_EQ(buffer.substr(row.changedUpTo), (kSample + "|guard|").substr(row.changedUpTo))
            << row.length;
        if (row.changedUpTo > 0) {
            // The prefix is scrambled the same way a text of that length would be.
            EXPECT_EQ(buffer.substr(0, row.changedUpTo),
                      encrypt(kSample.substr(0, row.changedUpTo), "mangel"));
        }
    }
}

TEST(EncryptString, NoPasswordOrNoBufferDoesNothing) {
    EXPECT_EQ(encrypt(kSample, ""), kSample);
    EXPECT_EQ(encrypt(kSample, nullptr), kSample);
    EncryptString(nullptr, 10, "mangel", -1, nullptr);  // must be harmless
}

TEST(EncryptString, PasswordInsideTheBufferStillRoundTrips) {
    const std::string original("secret-key\0payload text", 23);
    std::string buffer = original;
    EncryptString(buffer.data(), 23, original.c_str(), -1, nullptr);  // reference result
    const std::string expected = buffer;
    buffer = original;
    EncryptString(buffer.data(), 23, buffer.data(), -1, nullptr);  // key read from the buffer
    EXPECT_EQ(buffer, expected);
    EncryptString(buffer.data(), 23, original.c_str(), -1, nullptr);
    EXPECT_EQ(buffer, original);
}

}  // namespace
