// URLEncode and URLDecode on any text, against a byte-by-byte coder written from the form
// encoding: A-Z, a-z, 0-9, "-", "_", "." and "~" stay, a blank becomes "+", every other byte
// "%XX" in upper case; decoding turns "+" into a blank and "%XX" (either case) into its byte,
// NUL included, keeps a "%" without two hex digits after it and copies the rest. Decoding an
// encoding gives the text back; null texts give "", and arguments are left as they were.
//
// Input: a mode byte, two bytes of a position, a repeat count, then the text (repeated up to
// 64 KiB, so that runs of plain bytes reach the eight-byte steps at every alignment). Mode
// bit 0 decodes the text's encoding rather than the text (bit 1: hex digits in lower case
// from the position on), bit 2 cuts that encoding at the position, leaving a "%" or "%X"
// at the end or a pair split.
#include <cstdint>
#include <string>

#include "codec_reference.h"
#include "fuzz_support.h"

namespace {

constexpr std::size_t kMaxText = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 4)
        return 0;
    const std::uint8_t mode = data[0];
    const std::string text =
        fuzz::repeated(fuzz::split(data + 4, size - 4, 1).texts[0], data[3] + 1u, kMaxText);
    std::string coded = text;
    if (mode & 1) {
        coded = reference::url_encode(text);
        const std::size_t at =
            static_cast<std::size_t>(data[1] << 8 | data[2]) % (coded.size() + 1);
        if (mode & 2)
            for (std::size_t i = at; i < coded.size(); ++i)
                coded[i] = static_cast<char>(coded[i] >= 'A' && coded[i] <= 'F' ? coded[i] + 32
                                                                                : coded[i]);
        if (mode & 4)
            coded.resize(at);
    }

    std::string text_arg = text, coded_arg = coded;
    const std::string encoded = fuzz::take(URLEncode(text_arg.c_str()));
    FUZZ_REQUIRE(encoded == reference::url_encode(text));
    FUZZ_REQUIRE(fuzz::take(URLDecode(coded_arg.c_str())) == reference::url_decode(coded));
    FUZZ_REQUIRE(fuzz::take(URLDecode(encoded.c_str())) == text);
    FUZZ_REQUIRE(text_arg == text && coded_arg == coded);
    FUZZ_REQUIRE(fuzz::take(URLEncode(nullptr)).empty() && fuzz::take(URLDecode(nullptr)).empty());
    return 0;
}
