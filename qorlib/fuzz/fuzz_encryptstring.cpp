// Arbitrary text, password and salt: the cipher stays inside its length (the buffer is
// exactly that long, so AddressSanitizer sees any overrun), keeps NULs where they are and
// makes none, and a second call restores the text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "qorlib145.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    const std::size_t keyLength = data[0] % 32, saltLength = data[1] % 8;
    data += 2;
    size -= 2;
    if (size < keyLength + saltLength)
        return 0;
    const std::string password(reinterpret_cast<const char *>(data), keyLength);
    const std::string salt(reinterpret_cast<const char *>(data) + keyLength, saltLength);
    const std::size_t length = size - keyLength - saltLength;
    const char *text = reinterpret_cast<const char *>(data) + keyLength + saltLength;

    std::unique_ptr<char[]> buffer(new char[length ? length : 1]);
    std::memcpy(buffer.get(), text, length);
    EncryptString(buffer.get(), static_cast<int32_t>(length), password.c_str(), -1, salt.c_str());
    for (std::size_t i = 0; i < length; ++i)
        if ((buffer[i] == '\0') != (text[i] == '\0'))
            std::abort();
    EncryptString(buffer.get(), static_cast<int32_t>(length), password.c_str(), -1, salt.c_str());
    if (std::memcmp(buffer.get(), text, length) != 0)
        std::abort();
    return 0;
}
