// BitUnPack on any bytes and BitPack on any text, against the code table written out: each
// byte unpacks to two characters, high half first, up to the first pad (15) or unused (0)
// code; a text of number characters packs two codes a byte, an odd count padded with 15,
// never into a NUL byte, and any other text packs to nothing. `flags` changes nothing, null
// texts give empty ones, and the arguments are left as they were.
//
// Input: a mode byte, four bytes of flags, then the text. Mode bit 0 turns every text byte
// below 0xF0 into one of the fifteen number characters, so that long packable numbers come
// up often; bytes from 0xF0 stay as they are and spoil the number.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

// Code k (1..14) stands for kCharacters[k - 1]; "e" packs like "E".
const std::string kCharacters = "0123456789.+-E";
constexpr unsigned kPad = 15;

std::string unpack(const std::string &packed) {
    std::string number;
    for (const char c : packed) {
        const auto byte = static_cast<unsigned char>(c);
        for (const unsigned code : {byte / 16u, byte % 16u}) {
            if (code == 0 || code == kPad)
                return number;
            number += kCharacters[code - 1];
        }
    }
    return number;
}

std::string pack(const std::string &number) {
    std::vector<unsigned> codes;
    for (const char c : number) {
        const std::size_t at = kCharacters.find(c == 'e' ? 'E' : c);
        if (at == std::string::npos)
            return {};
        codes.push_back(static_cast<unsigned>(at) + 1);
    }
    if (codes.size() % 2)
        codes.push_back(kPad);
    std::string packed;
    for (std::size_t i = 0; i < codes.size(); i += 2)
        packed += static_cast<char>(codes[i] << 4 | codes[i + 1]);
    return packed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 5)
        return 0;
    const std::int32_t flags = fuzz::int32_from(std::string(data + 1, data + 5));
    const std::string raw = fuzz::split(data + 5, size - 5, 1).texts[0];
    std::string number = raw;
    if (data[0] & 1)
        for (char &c : number)
            if (static_cast<unsigned char>(c) < 0xF0)
                c = "0123456789.+-Ee"[static_cast<unsigned char>(c) % 15];

    std::string raw_arg = raw, number_arg = number;
    const std::string unpacked = fuzz::take(BitUnPack(raw_arg.c_str(), flags));
    FUZZ_REQUIRE(unpacked == unpack(raw));
    FUZZ_REQUIRE(fuzz::take(BitUnPack(raw_arg.c_str(), 0)) == unpacked);

    const std::string packed = fuzz::take(BitPack(number_arg.c_str(), flags));
    FUZZ_REQUIRE(packed == pack(number));
    FUZZ_REQUIRE(packed.find('\0') == std::string::npos);
    FUZZ_REQUIRE(fuzz::take(BitPack(number_arg.c_str(), 0)) == packed);
    FUZZ_REQUIRE(raw_arg == raw && number_arg == number);

    FUZZ_REQUIRE(fuzz::take(BitPack(nullptr, flags)).empty());
    FUZZ_REQUIRE(fuzz::take(BitUnPack(nullptr, flags)).empty());
    return 0;
}
