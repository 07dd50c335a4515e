#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "qorlib145.h"
#include "text_result.h"

namespace {

// Expected numbers were produced with Python's ipaddress module.
TEST(IPToLong, ReadsDottedAddresses) {
    struct Row {
        const char *text;
        double value;
    } rows[] = {
        {"255.255.255.254", 4294967294.0},
        {"255.255.255.255", 4294967295.0},
        {"192.168.2.101", 3232236133.0},
        {"19.2.16.35", 318902307.0},
        {"1.1.1.1", 16843009.0},
        {"0.0.0.0", 0.0},
        {"127.0.0.1", 2130706433.0},
        {"010.001.000.001", 167837697.0},  // leading zeros are decimal, not octal
        // Partial addresses: missing trailing parts are 0.
        {"192.", 3221225472.0},
        {"192", 3221225472.0},
        {"10.1", 167837696.0},
        {"172.16.5.", 2886731008.0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(IPToLong(row.text), row.value) << row.text;
}

TEST(IPToLong, RejectsEverythingElse) {
    const char *bad[] = {"",          ".",         "1.2.3.4.5", "1.2.3.4.",  "999.1.1.1",
                         "256.0.0.0", "1..2.3",    ".1.2.3",    " 1.2.3.4",  "1.2.3.4 ",
                         "1.2.3.-4",  "+1.2.3.4",  "1.2.3.4a",  "0x1.2.3.4", "1.2.3.0004",
                         "1/2.3.4",   "1.2.3.4/8", "1,2,3,4"};
    for (const char *text : bad)
        EXPECT_EQ(IPToLong(text), -1.0) << '"' << text << '"';
    EXPECT_EQ(IPToLong(nullptr), -1.0);
    EXPECT_EQ(IPToLong(std::string(100000, '1').c_str()), -1.0);
}

TEST(LongToIP, WritesWholeValuesOnly) {
    struct Row {
        double value;
        const char *text;
    } rows[] = {
        {0.0, "0.0.0.0"},
        {1.0, "0.0.0.1"},
        {16909060.0, "1.2.3.4"},
        {3232236133.0, "192.168.2.101"},
        {4294967294.0, "255.255.255.254"},
        {4294967295.0, "255.255.255.255"},
        // Out of range or not whole: empty.
        {4294967296.0, ""},
        {-1.0, ""},
        {0.5, ""},
        {3232236133.25, ""},
        {1e300, ""},
        {std::numeric_limits<double>::quiet_NaN(), ""},
        {std::numeric_limits<double>::infinity(), ""},
        {-std::numeric_limits<double>::infinity(), ""},
    };
    for (const auto &row : rows)
        EXPECT_EQ(str(LongToIP(row.value)), row.text) << row.value;
}

TEST(LongToIP, RoundTripsWithIPToLong) {
    for (double v = 0; v <= 4294967295.0; v += 16777259.0)  // a prime stride over the range
        EXPECT_EQ(IPToLong(str(LongToIP(v)).c_str()), v);
}

// Expected answers were produced with Python's ipaddress (IPv4Network, strict=False).
TEST(MatchCIDR, BlocksAndAddresses) {
    struct Row {
        const char *block;
        const char *address;
        int16_t expected;
    } rows[] = {
        {"192.168.0.0/8", "192.168.2.1", QOR_YES},
        {"192.168.0.0/16", "192.168.2.1", QOR_YES},
        {"192.168.13.66/16", "192.168.2.1", QOR_YES},  // host bits of the block ignored
        {"192.168.0.0/24", "192.168.2.1", QOR_NO},
        {"192.168.0.0/24", "192.168.0.1", QOR_YES},
        {"192.168.0.0/32", "192.168.2.1", QOR_NO},
        {"0.0.0.0/0", "8.8.8.8", QOR_YES},
        {"10.0.0.0/8", "11.0.0.0", QOR_NO},
        {"10.0.0.0/8", "10.255.255.255", QOR_YES},
        {"172.16.0.0/12", "172.31.255.255", QOR_YES},
        {"172.16.0.0/12", "172.32.0.0", QOR_NO},
        {"192.168.2.1/32", "192.168.2.1", QOR_YES},
        {"192.168.2.0/31", "192.168.2.1", QOR_YES},
        {"192.168.2.0/31", "192.168.2.2", QOR_NO},
        {"128.0.0.0/1", "127.255.255.255", QOR_NO},
        {"128.0.0.0/1", "128.0.0.0", QOR_YES},
        // Without "/n" the prefix is eight bits per part written.
        {"192.", "192.168.2.1", QOR_YES},
        {"192.", "193.168.2.1", QOR_NO},
        {"192.168", "192.168.200.9", QOR_YES},
        {"192.168", "192.169.0.0", QOR_NO},
        {"192.168.2.1", "192.168.2.1", QOR_YES},
        {"192.168.2.1", "192.168.2.2", QOR_NO},
        {"10/8", "10.20.30.40", QOR_YES},
        // Malformed or empty input never matches.
        {"", "192.168.2.1", QOR_NO},
        {"192.168.0.0/33", "192.168.2.1", QOR_NO},
        {"192.168.0.0/-1", "192.168.2.1", QOR_NO},
        {"192.168.0.0/", "192.168.2.1", QOR_NO},
        {"192.168.0.0/16x", "192.168.2.1", QOR_NO},
        {"192.168.0.0/016", "192.168.2.1", QOR_NO},
        {"/16", "192.168.2.1", QOR_NO},
        {"300.0.0.0/8", "44.1.1.1", QOR_NO},
        {"0.0.0.0/0", "", QOR_NO},
        {"0.0.0.0/0", "192.168.2", QOR_NO},  // a partial address is no address
        {"0.0.0.0/0", "192.168.2.256", QOR_NO},
        {"0.0.0.0/0", " 192.168.2.1", QOR_NO},
    };
    for (const auto &row : rows)
        EXPECT_EQ(MatchCIDR(row.block, row.address), row.expected)
            << row.block << " " << row.address;
    EXPECT_EQ(MatchCIDR(nullptr, "192.168.2.1"), QOR_NO);
    EXPECT_EQ(MatchCIDR("0.0.0.0/0", nullptr), QOR_NO);
}

TEST(IPMatch, WildcardPatterns) {
    struct Row {
        const char *pattern;
        const char *address;
        int16_t expected;
    } rows[] = {
        {"200.3.*.*", "192.2.8.1", QOR_NO},
        {"192.*.*.*", "192.2.8.1", QOR_YES},
        {"192.??.*.*", "192.2.8.1", QOR_NO},
        {"192.??.*.*", "192.33.8.1", QOR_YES},
        {"192.???.??.?", "192.33.8.1", QOR_NO},
        {"192.??.?.?", "192.33.8.1", QOR_YES},
        {"192.", "192.2.8.1", QOR_YES},
        {"*.*.*.*", "192.2.8.1", QOR_YES},
        {"*", "192.2.8.1", QOR_YES},
        {"*", "0.0.0.0", QOR_YES},
        {"192.2.8.1", "192.2.8.1", QOR_YES},
        {"192.2.8.1", "192.2.8.10", QOR_NO},
        {"192.2.8.1.", "192.2.8.1", QOR_YES},
        {"192.2", "192.2.99.99", QOR_YES},
        {"192.2", "192.20.1.1", QOR_NO},
        {"1*.*.*.*", "172.0.0.1", QOR_YES},  // "*" inside a part: any run of digits
        {"1*.*.*.*", "72.0.0.1", QOR_NO},
        {"*.*.*.?", "1.2.3.45", QOR_NO},
        // Address parts compare in their plain decimal form.
        {"10.1.1.1", "010.001.001.001", QOR_YES},
        // Patterns that can match nothing.
        {"", "192.2.8.1", QOR_NO},
        {".", "192.2.8.1", QOR_NO},
        {"192..8.1", "192.2.8.1", QOR_NO},
        {"*.*.*.*.*", "192.2.8.1", QOR_NO},
        // An invalid address never matches, not even "*".
        {"*", "", QOR_NO},
        {"*", "192.2.8", QOR_NO},
        {"*", "192.2.8.1.", QOR_NO},
        {"*", "192.2.8.256", QOR_NO},
        {"*", "a.b.c.d", QOR_NO},
    };
    for (const auto &row : rows)
        EXPECT_EQ(IPMatch(row.pattern, row.address), row.expected)
            << row.pattern << " " << row.address;
    EXPECT_EQ(IPMatch(nullptr, "192.2.8.1"), QOR_NO);
    EXPECT_EQ(IPMatch("*", nullptr), QOR_NO);
    EXPECT_EQ(IPMatch(std::string(100000, '*').c_str(), "192.2.8.1"), QOR_YES);
}

}  // namespace
