// Random texts from one shared xoshiro256** generator, seeded by Randomise().
#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <random>
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

    // Uniform in [0, Bound), without modulo bias. A constant bound turns both divisions
    // into multiplications.
    template <std::uint32_t Bound>
    std::uint32_t below() {
        static_assert(Bound > 0);
        constexpr std::uint64_t limit = UINT64_MAX - UINT64_MAX % Bound;
        std::uint64_t x;
        do {
            x = next();
        } while (x >= limit);
        return static_cast<std::uint32_t>(x % Bound);
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

constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// Each byte drawn from `set` of Size characters.
template <std::uint32_t Size>
void fill_from(Xoshiro256 &g, char *out, std::size_t size, const char *set) {
    for (std::size_t i = 0; i < size; ++i)
        out[i] = set[g.below<Size>()];
}

// The longest run of one letter mode 8 writes.
constexpr std::uint32_t kMaxRun = 12;

// Runs of letters; `out` has 16 bytes of slack, so a run is stored whole, in two 8-byte
// stores, even where the text ends inside it. The draws are those of a byte-at-a-time
// fill: a letter and a length per run, the last run's included.
void fill_runs(Xoshiro256 &g, char *out, std::size_t size) {
    static_assert(kMaxRun <= 16);
    std::size_t i = 0;
    std::uint32_t previous = kLetters.size();
    while (i < size) {
        // A letter other than the last one, so that every run has exactly its drawn length.
        std::uint32_t letter = g.below<kLetters.size() - 1>();
        letter += letter >= previous;
        previous = letter;
        const std::size_t run = 1 + g.below<kMaxRun>();
        const std::uint64_t bytes =
            0x0101010101010101ull * static_cast<unsigned char>(kLetters[letter]);
        std::memcpy(out + i, &bytes, 8);
        std::memcpy(out + i + 8, &bytes, 8);
        i += run;
    }
}

void fill(Xoshiro256 &g, char *out, std::size_t size, int32_t mode) {
    switch (mode) {
        case 1:
            return fill_from<26>(g, out, size, "abcdefghijklmnopqrstuvwxyz");
        case 2:
            return fill_from<26>(g, out, size, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        case 3:
            return fill_from<10>(g, out, size, "0123456789");
        case 4:  // printable ASCII without the space: 33..126
            for (std::size_t i = 0; i < size; ++i)
                out[i] = static_cast<char>(33 + g.below<94>());
            return;
        case 5:  // any byte but NUL: 1..255
            for (std::size_t i = 0; i < size; ++i)
                out[i] = static_cast<char>(1 + g.below<255>());
            return;
        case 6:
            return fill_from<16>(g, out, size, "0123456789ABCDEF");
        case 8:
            return fill_runs(g, out, size);
        default:
            return fill_from<kLetters.size()>(g, out, size, kLetters.data());
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
    const auto size = static_cast<std::size_t>(length);
    qor_text *text = qorlib::new_text(size, 16);
    if (!text)
        return nullptr;
    try {
        std::lock_guard<std::mutex> guard(generator_lock);
        if (!seeded)
            seed_locked(0);
        // A local copy, which the compiler can keep in registers while bytes are stored.
        Xoshiro256 local = generator;
        fill(local, text->data, size, mode);
        generator = local;
    } catch (const std::system_error &) {
        qor_text_free(text);
        return nullptr;  // the lock could not be taken
    }
    text->data[size] = '\0';
    return text;
}
