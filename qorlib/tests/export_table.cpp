// Prints what the library answers to a fixed table of inputs, for every export whose answer
// does not depend on the machine: one line per call, every result as hexadecimal bytes.
// Built for Linux and for Windows, the two programs must print the same bytes; the dates
// are read in UTC (TZ=UTC, which Wine maps to a Windows zone of its own), and the zone
// letters that name the zone (e, p, T) are left out because the systems name zones apart.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "qorlib145.h"

namespace {

// A small deterministic generator, so both systems draw the same inputs.
struct SplitMix {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::uint64_t below(std::uint64_t n) { return next() % n; }
};

std::string hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

template <typename T>
std::string raw(T value) {
    std::string bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

void put(const std::string &call, const std::string &result) {
    std::printf("%s = %s\n", call.c_str(), hex(result).c_str());
}

// Takes a text result; a null one prints as "null".
void put(const std::string &call, qor_text *result) {
    if (!result) {
        std::printf("%s = null\n", call.c_str());
        return;
    }
    put(call, std::string(result->data, result->length));
    qor_text_free(result);
}

template <typename T>
requires std::is_arithmetic_v<T>
void put_value(const std::string &call, T value) {
    put(call, raw(value));
}

std::string name(const char *function, size_t a, size_t b = SIZE_MAX) {
    std::string call = std::string(function) + "(" + std::to_string(a);
    if (b != SIZE_MAX)
        call += "," + std::to_string(b);
    return call + ")";
}

std::vector<std::string> texts() {
    // clang-format off
    std::vector<std::string> list = {
        "", "a", "abc", "aaaa", "Hello World", "The quick brown fox jumped uber the lazy dog",
        "\xE9t\xC9 \xFF\x80\x01", " 1,234.5 ", "1234567890123456789012345678901.234", "-0.0005",
        "+.5", "5.", "1e5", "  0x1F", "&hff", "FFFFFFFFFFFFFFFF", "7FFFFFFFFFFFFFFF",
        "B497D05EE222E240", "4865A", "%41%4g%", "a+b%20c%", "192.168.2.101", "10/8", "192.",
        "192.168.13.66/16", "255.255.255.254", "1..2.3", "010.1.1.1", "*.168.?.1", "SGVsbG8=",
        "SGVsbG8", "QUJD\r\nREVG", "1001001", "11111111111111111111111111111111",
        "0.12345656789", "+0.12345656789", "hhhello world",
    };
    // clang-format on
    SplitMix random{145};
    // Random texts over alphabets that reach the parsers' interesting paths.
    static constexpr std::string_view kAlphabets[] = {
        "0123456789",
        "0123456789.-+eE ",
        "0123456789abcdefABCDEF",
        "0123456789./*?",
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=\r\n",
        "%0123456789ABCDEFabcdefg+",
        "ab"};
    for (int i = 0; i < 400; ++i) {
        std::string text;
        const size_t length = random.below(i % 10 == 0 ? 300 : 40);
        const std::string_view alphabet =
            kAlphabets[random.below(std::size(kAlphabets) + 1) % std::size(kAlphabets)];
        const bool any_byte = random.below(4) == 0;
        for (size_t k = 0; k < length; ++k)
            text += any_byte ? static_cast<char>(1 + random.below(255))
                             : alphabet[random.below(alphabet.size())];
        list.push_back(text);
    }
    return list;
}

std::vector<double> numbers() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // clang-format off
    std::vector<double> list = {
        0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 1.5, 2.675, 1234567.8915, 32766.0, 4294967295.0,
        4294967296.0, -2147483648.0, 9098293.0, 1e300, -1e-300, 5e-324, nan, inf, -inf,
        // dates: the epochs, the rig's own, the ends of the range and beyond
        25569.0, 37143.07407407407, -1.25, 2.501377314814815, 24838.66738425926,
        49710.50137731482, 39619.8489467593, 2958465.99999999, -657434.0, -657435.0,
        1000000000.0};
    // clang-format on
    SplitMix random{1145};
    for (int i = 0; i < 300; ++i) {
        // Dates across the whole range, times to the millisecond and beyond.
        list.push_back(-657434.0 + static_cast<double>(random.below(3615900000ULL)) / 1000.0);
        list.push_back(std::bit_cast<double>(random.next()));
        list.push_back(
            static_cast<double>(static_cast<std::int64_t>(random.next()) >> random.below(64)) /
            static_cast<double>(1ULL << random.below(40)));
    }
    return list;
}

void text_exports(const std::vector<std::string> &t) {
    const size_t n = t.size();
    for (size_t i = 0; i < n; ++i) {
        const char *s = t[i].c_str();
        const size_t j = (i * 7 + 3) % n;
        const char *other = t[j].c_str();
        const char *small = t[(i + 1) % 8].c_str();
        put(name("StrRev", i), StrRev(s));
        for (int16_t code :
             {int16_t{0}, int16_t{'a'}, int16_t{'.'}, int16_t{0xE9}, int16_t{-1}, int16_t{256}})
            put_value(name("InChr", i, static_cast<size_t>(code & 0xFFFF)),
                      InChr(s, code) * 3 + InChrRev(s, code));
        put_value(name("InStrI", i, j), InStrI(s, other));
        put_value(name("InStrI", i, i % 8), InStrI(s, small));
        put_value(name("InStrRev", i, i % 8), InStrRev(s, small));
        put(name("StripL", i, j), StripL(s, other));
        put(name("StripR", i, j), StripR(s, other));
        put(name("StripLStr", i, j), StripLStr(s, small));
        put(name("StripRStr", i, j), StripRStr(s, small));
        put(name("Replace", i, j), Replace(s, small, other));
        put(name("StringToHex", i), StringToHex(s));
        put(name("HexToStr", i), HexToStr(s));
        put_value(name("HexToChar", i), HexToChar(s));
        put_value(name("HexToLong", i), HexToLong(s));
        put_value(name("HexToDouble", i), HexToDouble(s));
        put_value(name("HexToDate", i), HexToDate(s));
        qor_text *text = qor_text_new(t[i].data(), t[i].size());
        for (int32_t line : {0, 4, 76})
            put(name("EncodeString64", i, static_cast<size_t>(line)), EncodeString64(&text, line));
        int32_t count = -7;
        put(name("DecodeString64", i), DecodeString64(&text, &count));
        put_value(name("DecodeString64.count", i), count);
        qor_text_free(text);
        put_value(name("BinToDec", i), BinToDec(s));
        put(name("Cv", i), raw(Cvi(s)) + raw(Cvl(s)) + raw(Cvf(s)) + raw(Cvd(s)));
        for (int32_t decimals : {-1, 0, 2, 3, 15, 16})
            put(name("CommaStr", i, static_cast<size_t>(decimals + 1)), CommaStr(s, decimals));
        put(name("BitPack", i), BitPack(s, 0));
        put(name("BitUnPack", i), BitUnPack(s, 0));
        put(name("URLEncode", i), URLEncode(s));
        put(name("URLDecode", i), URLDecode(s));
        std::string buffer = t[i];
        EncryptString(buffer.data(), static_cast<int32_t>(buffer.size()), other, -1, small);
        put(name("EncryptString", i, j), buffer);
        put_value(name("IPToLong", i), IPToLong(s));
        put_value(name("MatchCIDR", i, j), MatchCIDR(s, other));
        put_value(name("IPMatch", i, j), IPMatch(s, other));
        int32_t packed_length = -1;
        qor_text *packed = RLECompress(s, static_cast<int32_t>(t[i].size()), &packed_length);
        put_value(name("RLECompress.length", i), packed_length);
        put(name("RLEUncompress", i),
            RLEUncompress(packed ? packed->data : nullptr, &packed_length));
        put(name("RLECompress", i), packed);
        put_value(name("RLEUncompress.length", i), packed_length);
        int32_t raw_length = static_cast<int32_t>(t[i].size());
        put(name("RLEUncompress.raw", i), RLEUncompress(s, &raw_length));
    }
}

void number_exports(const std::vector<double> &d) {
    // Every PHP letter but the three that name the zone, escapes, and a lone backslash.
    static constexpr const char *kFormats[] = {
        "d D j l N S w z W o F m M n t L X x Y y a A B g G h H i s u v I O P Z c r U C",
        "\\Y\\m\\d jS \\\\ Y-m-d H:i:s \\", nullptr, ""};
    for (size_t i = 0; i < d.size(); ++i) {
        const double x = d[i];
        put(name("LongToHex", i), LongToHex(x));
        for (int32_t decimals : {-1, 0, 2, 3, 4, 15, 16})
            put(name("Comma", i, static_cast<size_t>(decimals + 1)), Comma(x, decimals));
        put(name("VBDate", i), VBDate(x));
        put_value(name("VBDateToCTime", i), VBDateToCTime(x));
        put_value(name("CTimeToVBDate", i), CTimeToVBDate(x));
        put(name("DateToHex", i), DateToHex(x));
        put(name("LongToIP", i), LongToIP(x));
        put(name("Mkd", i), Mkd(x));
        put(name("Mkf", i), Mkf(static_cast<float>(x)));
        for (size_t f = 0; f < std::size(kFormats); ++f)
            put(name("PHPDate", i, f), PHPDate(x, kFormats[f]));
        put_value(name("DSTAdjust", i), DSTAdjust(x));
    }
}

void integer_exports() {
    SplitMix random{45};
    for (int i = 0; i < 600; ++i) {
        const auto a = static_cast<std::int32_t>(random.next() >> random.below(64));
        const auto b = static_cast<std::int32_t>(random.next() >> random.below(64));
        const auto a16 = static_cast<std::int16_t>(a);
        const auto b16 = static_cast<std::int16_t>(b);
        std::int32_t a32 = a;
        std::int16_t r16 = a16;
        auto byte = static_cast<std::uint8_t>(a);
        put(name("CharToHex", static_cast<size_t>(i)), CharToHex(byte));
        put(name("IntToHex", static_cast<size_t>(i)), IntToHex(a16));
        put(name("MinMax", static_cast<size_t>(i)), raw(Min(a16, b16)) + raw(Max(a16, b16)));
        put_value(name("Gcd", static_cast<size_t>(i)), Gcd(a, b));
        put(name("BaseConv", static_cast<size_t>(i)), BaseConv(a, i % 38));
        put(name("Mk", static_cast<size_t>(i)), Mki(a16));
        put(name("Mkl", static_cast<size_t>(i)), Mkl(a));
        put(name("NumOrd", static_cast<size_t>(i)), NumOrd(a16));
        put(name("Rotate", static_cast<size_t>(i)),
            raw(RotateLong(&a32)) + raw(RotateInt(&r16)) + raw(RotateByte(&byte)));
    }
    put_value("LibVersion", LibVersion());
    put_value("GetArrayDimensions(null)", GetArrayDimensions(nullptr));
}

void random_exports() {
    for (int32_t seed : {1, -1, 145, 2147483647}) {
        Randomise(seed);
        for (int32_t mode = 0; mode <= 9; ++mode)
            put(name("RandomStr", static_cast<size_t>(seed & 0xFFFF), static_cast<size_t>(mode)),
                RandomStr(mode * 37 + 1, mode));
    }
}

}  // namespace

int main() {
#if defined(_WIN32)
    _setmode(_fileno(stdout), _O_BINARY);  // "\n", not "\r\n", as on Linux
#endif
    text_exports(texts());
    number_exports(numbers());
    integer_exports();
    random_exports();
    return std::fflush(stdout) == 0 ? 0 : 1;
}
