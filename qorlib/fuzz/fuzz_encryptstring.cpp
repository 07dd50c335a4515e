// EncryptString on any text, password, salt and mode. The keystream is the library's own,
// so it is read off two probes (all bytes 1, all bytes 2) of the same length; every byte x
// of the text must then become x ^ k, or stay where x is 0 or k. Beyond that: a second call
// restores the text; every mode is the same cipher; a null salt is an empty one; a password
// or salt that lies inside the buffer reads as it was before the call; a change of any one
// byte of the password or of the salt changes the scrambling; nothing happens without a
// buffer, a length or a password; and no byte past the length is touched (the buffer is
// exactly that long, so AddressSanitizer sees any access beyond it).
//
// Input: a password length byte (mod 32), a salt byte (bits 0-2 the salt length, bit 3 a
// null salt, bit 4 the password taken from inside the buffer, bit 5 the salt likewise), four
// bytes of mode, then the password, the salt and the text.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_support.h"

namespace {

// The length bytes of `text` scrambled in a buffer of exactly that size, without a
// terminator, so that AddressSanitizer sees a single byte read or written past the length.
std::string scrambled(const std::string &text, const char *password, std::int32_t mode,
                      const char *salt) {
    std::unique_ptr<char[]> buffer(new char[text.size()]);
    std::memcpy(buffer.get(), text.data(), text.size());
    EncryptString(buffer.get(), static_cast<std::int32_t>(text.size()), password, mode, salt);
    return std::string(buffer.get(), text.size());
}

// The keystream byte of every position: a byte 1 becomes 1 ^ k unless k is 0 or 1, and then
// a byte 2 tells which.
std::string keystream(std::size_t length, const std::string &password, const std::string &salt) {
    const std::string ones =
        scrambled(std::string(length, '\x01'), password.c_str(), -1, salt.c_str());
    const std::string twos =
        scrambled(std::string(length, '\x02'), password.c_str(), -1, salt.c_str());
    std::string key(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        key[i] =
            ones[i] != '\x01' ? static_cast<char>(ones[i] ^ 1) : static_cast<char>(twos[i] ^ 2);
    return key;
}

// The byte map the cipher promises for keystream byte k.
char mapped(char x, unsigned char k) {
    const auto byte = static_cast<unsigned char>(x);
    return byte == 0 || byte == k ? x : static_cast<char>(byte ^ k);
}

// The same text with byte `at` of the password or salt changed to another non-NUL byte.
std::string changed(std::string text, std::size_t at) {
    text[at] = text[at] == '\x01' ? '\x02' : static_cast<char>(text[at] ^ 1);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 6)
        return 0;
    const std::uint8_t shape = data[1];
    const std::size_t key_length = data[0] % 32, salt_length = shape & 7;
    const std::int32_t mode = fuzz::int32_from(std::string(data + 2, data + 6));
    if (size - 6 < key_length + salt_length)
        return 0;
    const char *at = reinterpret_cast<const char *>(data) + 6;
    // Password and salt are passed by value: they end at a NUL.
    const std::string password = std::string(at, key_length).c_str();
    const std::string salt = std::string(at + key_length, salt_length).c_str();
    const std::string text(at + key_length + salt_length,
                           reinterpret_cast<const char *>(data) + size);
    const char *salt_arg = shape & 8 ? nullptr : salt.c_str();

    // The keystream, read with an empty salt where the call passes a null one.
    const std::string key = keystream(text.size(), password, salt_arg ? salt : "");

    // The text itself, with the mode of the input.
    std::string expected = text;
    for (std::size_t i = 0; i < text.size(); ++i)
        expected[i] = mapped(text[i], static_cast<unsigned char>(key[i]));
    const std::string once = scrambled(text, password.c_str(), mode, salt_arg);
    FUZZ_REQUIRE(once == expected);
    FUZZ_REQUIRE(scrambled(once, password.c_str(), mode, salt_arg) == text);

    // Password or salt inside the buffer, ending at the buffer's terminator at the latest.
    if (!text.empty() && (shape & 0x30)) {
        std::unique_ptr<char[]> buffer(new char[text.size() + 1]);
        std::memcpy(buffer.get(), text.data(), text.size());
        buffer[text.size()] = '\0';
        const char *inside = buffer.get() + key_length % text.size();
        const std::string inside_copy = inside;
        const char *p = shape & 0x10 ? inside : password.c_str();
        const char *s = shape & 0x20 ? inside : salt_arg;
        const std::string want = scrambled(text, shape & 0x10 ? inside_copy.c_str() : p, mode,
                                           shape & 0x20 ? inside_copy.c_str() : s);
        EncryptString(buffer.get(), static_cast<std::int32_t>(text.size()), p, mode, s);
        FUZZ_REQUIRE(std::string(buffer.get(), text.size()) == want);
    }

    // One changed byte of the password or salt changes a 32-byte scrambling (a chance
    // agreement of all 32 bytes is far too unlikely to matter).
    const std::string ones(32, '\x01');
    if (!password.empty()) {
        const std::string base = scrambled(ones, password.c_str(), -1, salt.c_str());
        const std::size_t k = text.size() % password.size();
        FUZZ_REQUIRE(scrambled(ones, changed(password, k).c_str(), -1, salt.c_str()) != base);
        if (!salt.empty()) {
            const std::size_t j = text.size() % salt.size();
            FUZZ_REQUIRE(scrambled(ones, password.c_str(), -1, changed(salt, j).c_str()) != base);
        }
    }

    // No buffer, no length or no password: nothing changes.
    std::string kept = text + "x";
    EncryptString(kept.data(), 0, password.c_str(), mode, salt_arg);
    EncryptString(kept.data(), -static_cast<std::int32_t>(kept.size()), password.c_str(), mode,
                  salt_arg);
    EncryptString(kept.data(), static_cast<std::int32_t>(kept.size()), nullptr, mode, salt_arg);
    EncryptString(kept.data(), static_cast<std::int32_t>(kept.size()), "", mode, salt_arg);
    FUZZ_REQUIRE(kept == text + "x");
    EncryptString(nullptr, static_cast<std::int32_t>(kept.size()), password.c_str(), mode,
                  salt_arg);
    return 0;
}
