#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

#include "qorlib145.h"
#include "text_result.h"

namespace {

// Expected texts were produced with Python's decimal module: Decimal(repr(x)) quantized
// with ROUND_HALF_UP (half away from zero) and formatted with ",f".
TEST(Comma, RoundsTheShortestDecimalForm) {
    struct Row {
        double value;
        int decimals;
        const char *text;
    } rows[] = {
        {1234567.8915, 3, "1,234,567.892"},
        {2.675, 2, "2.68"},  // the double lies below 2.675, its shortest form does not
        {1.005, 2, "1.01"},
        {0.5, 0, "1"},
        {1.5, 0, "2"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {-0.0004, 3, "0.000"},  // never "-0"
        {-0.0005, 3, "-0.001"},
        {999.9995, 3, "1,000.000"},
        {999999.5, 0, "1,000,000"},
        {1e21, 2, "1,000,000,000,000,000,000,000.00"},
        {123.0, 0, "123"},
        {100, 3, "100.000"},
        {1000, 0, "1,000"},
        {-1234.5678, 2, "-1,234.57"},
        {0.0, 3, "0.000"},
        {-0.0, 0, "0"},
        {0.1 + 0.2, 15, "0.300000000000000"},
        {1.0 / 3.0, 15, "0.333333333333333"},
        {1e-7, 15, "0.000000100000000"},
        {9.5e-16, 15, "0.000000000000001"},
        {5e-324, 3, "0.000"},
        {12345678901.0, 3, "12,345,678,901.000"},
        {4294967294.0, 3, "4,294,967,294.000"},
        {-1.0, 3, "-1.000"},
        // Decimals outside 0..15 are clamped.
        {123456.7, 20, "123,456.700000000000000"},
        {123456.7, -4, "123,457"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(str(Comma(row.value, row.decimals)), row.text)
            << row.value << " with " << row.decimals;
}

TEST(Comma, LargestDoubleAndSpecialValues) {
    const std::string max = str(Comma(std::numeric_limits<double>::max(), 0));
    EXPECT_EQ(max.size(), 411u);
    EXPECT_EQ(max.substr(0, 24), "179,769,313,486,231,570,");
    EXPECT_EQ(max.substr(max.size() - 8), ",000,000");
    EXPECT_EQ(str(Comma(std::numeric_limits<double>::quiet_NaN(), 2)), "NaN");
    EXPECT_EQ(str(Comma(std::numeric_limits<double>::infinity(), 2)), "Infinity");
    EXPECT_EQ(str(Comma(-std::numeric_limits<double>::infinity(), 2)), "-Infinity");
}

TEST(CommaStr, GroupsAndRoundsNumberTexts) {
    struct Row {
        const char *number;
        int decimals;
        const char *text;
    } rows[] = {
        {"1234567890123456789012345678901.234", 3, "1,234,567,890,123,456,789,012,345,678,901.234"},
        {"1234567.8915", 3, "1,234,567.892"},
        {"1234567.8914999", 3, "1,234,567.891"},
        {"999999.9995", 3, "1,000,000.000"},
        {"99.5", 0, "100"},
        {"-99.5", 0, "-100"},
        {"-0.0004", 3, "0.000"},
        {"-0", 2, "0.00"},
        {"+12345", 2, "12,345.00"},
        {"  -12345.6  ", 1, "-12,345.6"},
        {"\t42\t", 0, "42"},
        {"000123", 0, "123"},
        {"0001234.5", 2, "1,234.50"},
        {".5", 1, "0.5"},
        {".5", 0, "1"},
        {"5.", 2, "5.00"},
        {"123", 0, "123"},
        {"12", 0, "12"},
        {"1", 0, "1"},
        {"0", 0, "0"},
        {"123456", 0, "123,456"},
        {"1234.5678", 99, "1,234.567800000000000"},
        {"1234.5678", -1, "1,235"},
        // Not a number: handed back as it came.
        {"", 2, ""},
        {"abc", 2, "abc"},
        {"1.2.3", 2, "1.2.3"},
        {"1e5", 2, "1e5"},
        {"-", 2, "-"},
        {".", 2, "."},
        {"--1", 2, "--1"},
        {"1 000", 2, "1 000"},
        {" 0x10 ", 2, " 0x10 "},
    };
    for (const auto &row : rows)
        EXPECT_EQ(str(CommaStr(row.number, row.decimals)), row.text)
            << '"' << row.number << "\" with " << row.decimals;
    EXPECT_EQ(str(CommaStr(nullptr, 2)), "");
}

TEST(NumOrd, EnglishSuffixes) {
    struct Row {
        int16_t value;
        const char *suffix;
    } rows[] = {
        {0, "th"},      {1, "st"},      {2, "nd"},      {3, "rd"},      {4, "th"},
        {10, "th"},     {11, "th"},     {12, "th"},     {13, "th"},     {14, "th"},
        {21, "st"},     {22, "nd"},     {23, "rd"},     {25, "th"},     {101, "st"},
        {102, "nd"},    {103, "rd"},    {111, "th"},    {112, "th"},    {113, "th"},
        {1011, "th"},   {1021, "st"},   {32767, "th"},  {32761, "st"},  {-1, "st"},
        {-2, "nd"},     {-3, "rd"},     {-11, "th"},    {-112, "th"},   {-32768, "th"},
        {-32762, "nd"}, {-32763, "rd"}, {-32711, "th"}, {-32701, "st"}, {22222, "nd"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(str(NumOrd(row.value)), row.suffix) << row.value;
}

}  // namespace
