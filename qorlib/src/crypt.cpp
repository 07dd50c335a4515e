// EncryptString: a light, symmetric scrambling of a text in place. It keeps casual eyes
// off a text; it is not cryptography.
#include <cstdint>
#include <string_view>

#include "internal.h"

namespace {

// FNV-1a, 64 bits: every byte of the key and of the salt moves the whole state.
std::uint64_t fnv1a(std::uint64_t hash, std::string_view bytes) {
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

// SplitMix64 finaliser: spreads one counter value over all 64 bits.
std::uint64_t mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

namespace qorlib {

// The byte map at one position with keystream byte k:
//   0 -> 0, k -> k, and every other x -> x ^ k.
// It is its own inverse, so a second call restores the text. Proof: for x not in {0, k},
// y = x ^ k is not 0 (that needs x == k) and not k (that needs x == 0), so y is again
// outside {0, k} and maps back to y ^ k = x; 0 and k map to themselves. Hence no byte
// other than 0 ever becomes 0, and 0 stays 0.
unsigned char scramble_byte(unsigned char x, unsigned char k) noexcept {
    return (x == 0 || x == k) ? x : static_cast<unsigned char>(x ^ k);
}

}  // namespace qorlib

extern "C" QOR_API void EncryptString(char *buffer, int32_t length, const char *password,
                                      int32_t /*mode*/, const char *salt) {
    const std::string_view key = qorlib::arg(password);
    if (buffer == nullptr || length <= 0 || key.empty())
        return;
    // The whole keystream seed is taken before the buffer changes, so a password or salt
    // that lies inside the buffer still reads the same on both calls.
    std::uint64_t seed = fnv1a(0xCBF29CE484222325ull, key);
    seed = fnv1a(seed ^ (static_cast<std::uint64_t>(key.size()) << 32), qorlib::arg(salt));
    std::uint64_t block = 0;
    for (int32_t i = 0; i < length; ++i) {
        if (i % 8 == 0)
            block = mix(seed + 0x9E3779B97F4A7C15ull * static_cast<std::uint64_t>(i / 8 + 1));
        const auto k = static_cast<unsigned char>(block >> (8 * (i % 8)));
        auto &byte = reinterpret_cast<unsigned char &>(buffer[i]);
        byte = qorlib::scramble_byte(byte, k);
    }
}
