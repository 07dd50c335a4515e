// The draws a seed gives to RandomStr, written out plainly as the generator was first
// specified: xoshiro256** filled by SplitMix64 from the seed, and an unbiased draw below a
// bound by rejection. The fuzz target and the benchmark compare the library's texts with it,
// so it shares no code with the library.
#ifndef QORLIB_FUZZ_RANDOM_REFERENCE_H
#define QORLIB_FUZZ_RANDOM_REFERENCE_H

#include <cstdint>

namespace fuzz {

class ReferenceDraws {
  public:
    explicit ReferenceDraws(std::int32_t seed) {
        std::uint64_t value = 0x5EED000000000000ull ^ static_cast<std::uint32_t>(seed);
        for (std::uint64_t &word : s_) {
            std::uint64_t z = (value += 0x9E3779B97F4A7C15ull);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = z ^ (z >> 31);
        }
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

    // Uniform in [0, bound).
    std::uint32_t below(std::uint32_t bound) {
        const std::uint64_t limit = UINT64_MAX - UINT64_MAX % bound;
        std::uint64_t x;
        do {
            x = next();
        } while (x >= limit);
        return static_cast<std::uint32_t>(x % bound);
    }

  private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t s_[4];
};

}  // namespace fuzz

#endif
