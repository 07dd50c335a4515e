// EncodeString64 and DecodeString64 on any bytes and line length, against a plain coder
// written from the format: the encoding exactly (alphabet, "=" padding, a CR LF after every
// line_length characters but the last line, one line for line_length <= 0); decoding any
// text exactly (characters outside the alphabet skipped, a stop at the first "=", left-over
// bits dropped) with the count it reports; the round trip; arguments neither changed nor
// replaced; null texts.
//
// Input: a line length byte (signed), a byte whose bit 7 multiplies the line length by 61
// and whose low seven bits repeat the data up to 128 times (64 KiB at most, so that lines
// cross the encoder's blocks), a noise byte (low five bits: insert junk after every that
// many characters of the encoding, 0 for none; high three bits: which junk), then the data.
#include <cstdint>
#include <string>

#include "codec_reference.h"
#include "fuzz_support.h"

namespace {

constexpr std::size_t kMaxData = 1 << 16;

// Decodes `text` through the library, checking the count and that the text stays as it was.
std::string decoded(const std::string &text, bool counted) {
    qor_text *argument = qor_text_new(text.data(), text.size());
    FUZZ_REQUIRE(argument != nullptr);
    qor_text *const before = argument;
    std::int32_t count = -1;
    const std::string bytes = fuzz::take(DecodeString64(&argument, counted ? &count : nullptr));
    FUZZ_REQUIRE(argument == before && std::string(argument->data, argument->length) == text);
    FUZZ_REQUIRE(!counted || count == static_cast<std::int32_t>(bytes.size()));
    qor_text_free(argument);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 3)
        return 0;
    std::int32_t line = static_cast<std::int8_t>(data[0]);
    if (data[1] & 0x80)
        line *= 61;
    const std::string bytes =
        fuzz::repeated(std::string(data + 3, data + size), (data[1] & 0x7F) + 1u, kMaxData);
    const std::size_t stride = data[2] & 31;

    qor_text *argument = qor_text_new(bytes.data(), bytes.size());
    FUZZ_REQUIRE(argument != nullptr);
    qor_text *const before = argument;
    qor_text *encoded = EncodeString64(&argument, line);
    FUZZ_REQUIRE(argument == before && std::string(argument->data, argument->length) == bytes);
    qor_text_free(argument);
    const std::string encoding = fuzz::take(encoded);
    FUZZ_REQUIRE(encoding == reference::base64_encode(bytes, line));
    FUZZ_REQUIRE(decoded(encoding, true) == bytes);

    // The data itself as Base64 text, and the encoding with junk among its characters.
    FUZZ_REQUIRE(decoded(bytes, true) == reference::base64_decode(bytes));
    if (stride) {
        static const std::string kJunk[] = {"\r\n", " ", "\t", "!",
                                            "\xff", "=", "-_", std::string(1, '\0')};
        const std::string &insert = kJunk[data[2] >> 5];
        std::string noisy;
        for (std::size_t at = 0; at < encoding.size(); at += stride)
            noisy += encoding.substr(at, stride) + insert;
        FUZZ_REQUIRE(decoded(noisy, false) == reference::base64_decode(noisy));
    }

    qor_text *none = nullptr;
    FUZZ_REQUIRE(fuzz::take(EncodeString64(nullptr, line)).empty());
    FUZZ_REQUIRE(fuzz::take(EncodeString64(&none, line)).empty() && none == nullptr);
    std::int32_t count = -1;
    FUZZ_REQUIRE(fuzz::take(DecodeString64(nullptr, &count)).empty() && count == 0);
    FUZZ_REQUIRE(fuzz::take(DecodeString64(&none, nullptr)).empty() && none == nullptr);
    return 0;
}
