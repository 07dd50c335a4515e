// Random texts from one shared xoshiro256** generator, seeded by Randomise().
#include <chrono>
#include <cstdint>
#include <mutex>
#include <new>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "internal.h"

namespace {

constexpr int32_t kMaxRandomLength = 16 * 1024 * 1024;

std::uint64_t splitmix64(std::uint64_t &state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

class Xoshiro256 {
  public:
    void seed(std::uint64_t value) {
        // SplitMix64 fills the state, so no seed leaves it all zero.
        for (auto &word : s_)
            word = splitmix64(value);
    }

    std::uint64_t next() {
        const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = rotl(s_[3], 45);
        return result;
    }

    // Uniform in [0, bound), bound > 0, without modulo bias.
    std::uint32_t below(std::uint32_t bound) {
        const std::uint64_t limit = UINT64_MAX - UINT64_MAX % bound;
        std::uint64_t x;
        do {
            x = next();
        } while (x >= limit);
        return static_cast<std::uint32_t>(x % bound);
    }

  private:
    std::uint64_t s_[4] = {};
};

std::uint64_t entropy_seed() noexcept {
    std::uint64_t seed = 0;
    try {
        std::random_device device;
        seed = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    } catch (...) {
        // No entropy source: fall back to the clock and an address, which still differ
        // from one run to the next.
    }
    seed ^= static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    seed ^= reinterpret_cast<std::uintptr_t>(&seed);
    return seed;
}

std::mutex generator_lock;
Xoshiro256 generator;
bool seeded = false;

void seed_locked(int32_t seed) {
    // A seed is mixed with a constant so that seed 1 and the entropy path never coincide
    // in practice; any non-zero seed is reproducible.
    generator.seed(seed == 0 ? entropy_seed()
                             : 0x5EED000000000000ull ^ static_cast<std::uint32_t>(seed));
    seeded = true;
}

constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kHex = "0123456789ABCDEF";

std::string_view alphabet(int32_t mode) {
    switch (mode) {
        case 1:
            return kLower;
        case 2:
            return kUpper;
        case 3:
            return kDigits;
        case 6:
            return kHex;
        default:
            return kLetters;
    }
}

// The longest run of one letter mode 8 writes.
constexpr std::uint32_t kMaxRun = 12;

void fill_runs(std::string &text) {
    std::size_t i = 0;
    std::uint32_t previous = kLetters.size();
    while (i < text.size()) {
        // A letter other than the last one, so that every run has exactly its drawn length.
        std::uint32_t letter = generator.below(kLetters.size() - 1);
        if (letter >= previous)
            ++letter;
        previous = letter;
        const std::size_t run = 1 + generator.below(kMaxRun);
        for (std::size_t n = 0; n < run && i < text.size(); ++n)
            text[i++] = kLetters[letter];
    }
}

}  // namespace

extern "C" QOR_API void Randomise(int32_t seed) {
    try {
        std::lock_guard<std::mutex> guard(generator_lock);
        seed_locked(seed);
    } catch (const std::system_error &) {
        // The lock could not be taken: the generator keeps its state.
    }
}

extern "C" QOR_API qor_text *RandomStr(int32_t length, int32_t mode) {
    if (length <= 0)
        return qorlib::make_text("");
    if (length > kMaxRandomLength)
        length = kMaxRandomLength;
    try {
        std::string text(static_cast<std::size_t>(length), '\0');
        std::lock_guard<std::mutex> guard(generator_lock);
        if (!seeded)
            seed_locked(0);
        switch (mode) {
            case 4:  // printable ASCII without the space: 33..126
                for (char &c : text)
                    c = static_cast<char>(33 + generator.below(94));
                break;
            case 5:  // any byte but NUL: 1..255
                for (char &c : text)
                    c = static_cast<char>(1 + generator.below(255));
                break;
            case 8:
                fill_runs(text);
                break;
            default: {
                const std::string_view set = alphabet(mode);
                for (char &c : text)
                    c = set[generator.below(static_cast<std::uint32_t>(set.size()))];
            }
        }
        return qorlib::make_text(text);
    } catch (const std::bad_alloc &) {
        return nullptr;
    } catch (const std::system_error &) {
        return nullptr;  // the lock could not be taken
    }
}
