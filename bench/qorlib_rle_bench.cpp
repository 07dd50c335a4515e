// RLECompress and RLEUncompress against the plain code a caller would otherwise write: a
// greedy PackBits encoder and a two-pass decoder. Each case runs as "<case>/lib" and
// "<case>/ref" over the same texts; both return a freshly allocated result. The ratio of
// the two times is the figure that counts.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "qorlib145.h"
#include "qorlib_ratio.h"

namespace {

// A greedy encoder: runs of three or more equal bytes become repeats, a pair only where
// no literal run is open, everything else goes into literal runs of up to 128 bytes.
unsigned char *greedy_pack(const unsigned char *s, size_t n, size_t *packed) {
    auto *out = static_cast<unsigned char *>(std::malloc(n + (n + 127) / 128 + 1));
    if (!out)
        return nullptr;
    size_t o = 0, literal_at = 0, literal = 0;
    for (size_t i = 0; i < n;) {
        size_t run = 1;
        while (i + run < n && run < 128 && s[i + run] == s[i])
            ++run;
        if (run >= 3 || (run == 2 && literal == 0)) {
            literal = 0;
            out[o++] = static_cast<unsigned char>(1 - static_cast<int>(run));
            out[o++] = s[i];
            i += run;
            continue;
        }
        for (size_t k = 0; k < run; ++k) {
            if (literal == 0 || literal == 128) {
                literal_at = o++;
                literal = 0;
            }
            out[literal_at] = static_cast<unsigned char>(literal++);
            out[o++] = s[i++];
        }
    }
    *packed = o;
    return out;
}

// A plain decoder: one pass for the size, one to write.
char *simple_unpack(const unsigned char *p, size_t n, size_t *size_out) {
    size_t size = 0;
    for (size_t i = 0; i < n;) {
        const auto header = static_cast<int8_t>(p[i++]);
        if (header >= 0) {
            const size_t count = std::min<size_t>(size_t(header) + 1, n - i);
            size += count;
            i += count;
        } else if (header != -128 && i < n) {
            size += size_t(1 - header);
            ++i;
        }
    }
    char *out = static_cast<char *>(std::malloc(size + 1));
    if (!out)
        return nullptr;
    char *o = out;
    for (size_t i = 0; i < n;) {
        const auto header = static_cast<int8_t>(p[i++]);
        if (header >= 0) {
            const size_t count = std::min<size_t>(size_t(header) + 1, n - i);
            std::memcpy(o, p + i, count);
            o += count;
            i += count;
        } else if (header != -128 && i < n) {
            std::memset(o, p[i++], size_t(1 - header));
            o += 1 - header;
        }
    }
    *o = '\0';
    *size_out = size;
    return out;
}

using Texts = std::vector<std::string>;

// Each case packs 1 MiB in all, in many texts: a branch predictor learns a few short
// texts by heart, which flatters branchy code, and the rig never packs a text twice.
constexpr size_t kPool = 1 << 20;

// Texts of `size` bytes of letter runs, as the rig packs them (1000 bytes there).
template <size_t size>
Texts rig_texts() {
    Randomise(12345);
    Texts texts;
    for (size_t i = 0; i < kPool / size; ++i) {
        qor_text *t = RandomStr(size, 8);
        texts.emplace_back(t->data, t->length);
        qor_text_free(t);
    }
    return texts;
}

// Texts of `size` bytes (16 KiB unless said) cut from `make(rng)`, called until 1 MiB is
// made.
template <typename Make>
Texts pieces(uint32_t seed, Make make, size_t size = 16384) {
    std::mt19937 rng(seed);
    std::string all;
    while (all.size() < kPool)
        make(rng, all);
    Texts texts;
    for (size_t at = 0; at + size <= all.size(); at += size)
        texts.push_back(all.substr(at, size));
    return texts;
}

template <size_t size>
Texts random_bytes() {
    return pieces(
        2, [](std::mt19937 &rng, std::string &s) { s += static_cast<char>(rng()); }, size);
}

// Runs of 1 to 400 bytes, so repeats cross the 128-byte limit.
Texts long_runs() {
    return pieces(3, [](std::mt19937 &rng, std::string &s) {
        s.append(1 + rng() % 400, static_cast<char>('a' + rng() % 26));
    });
}

// Words and blanks: mostly literal, the odd pair ("ll", "ee").
Texts prose() {
    static const char *const words[] = {"the",    "quick", "brown",   "fox",   "jumped", "uber",
                                        "lazy",   "dog",   "all",     "will",  "see",    "three",
                                        "letter", "books", "running", "about", "summer", "free"};
    return pieces(4, [](std::mt19937 &rng, std::string &s) {
        s += words[rng() % std::size(words)];
        s += rng() % 12 == 0 ? ". " : " ";
    });
}

// Two letters taking turns, with a short repeat now and then.
Texts alternating() {
    return pieces(5, [](std::mt19937 &rng, std::string &s) {
        for (unsigned k = rng() % 300; k-- > 0;)
            s += "ab";
        s.append(2 + rng() % 3, 'x');
    });
}

size_t total(const Texts &texts) {
    size_t bytes = 0;
    for (const auto &t : texts)
        bytes += t.size();
    return bytes;
}

template <Texts (*make)()>
void PackLib(benchmark::State &state) {
    const Texts texts = make();
    for (auto _ : state) {
        for (const auto &t : texts) {
            int32_t length = 0;
            qor_text *p = RLECompress(t.data(), static_cast<int32_t>(t.size()), &length);
            benchmark::DoNotOptimize(p->data);
            qor_text_free(p);
        }
    }
    qorbench::set_bytes(state, total(texts));
}

template <Texts (*make)()>
void PackRef(benchmark::State &state) {
    const Texts texts = make();
    for (auto _ : state) {
        for (const auto &t : texts) {
            size_t length = 0;
            unsigned char *p =
                greedy_pack(reinterpret_cast<const unsigned char *>(t.data()), t.size(), &length);
            benchmark::DoNotOptimize(p);
            std::free(p);
        }
    }
    qorbench::set_bytes(state, total(texts));
}

// The library's packings of the texts: both decoders read the same input.
template <Texts (*make)()>
Texts packed_texts() {
    Texts packed;
    for (const auto &t : make()) {
        int32_t length = 0;
        qor_text *p = RLECompress(t.data(), static_cast<int32_t>(t.size()), &length);
        packed.emplace_back(p->data, p->length);
        qor_text_free(p);
    }
    return packed;
}

template <Texts (*make)()>
void UnpackLib(benchmark::State &state) {
    const Texts packed = packed_texts<make>();
    for (auto _ : state) {
        for (const auto &p : packed) {
            int32_t length = static_cast<int32_t>(p.size());
            qor_text *t = RLEUncompress(p.data(), &length);
            benchmark::DoNotOptimize(t->data);
            qor_text_free(t);
        }
    }
    qorbench::set_bytes(state, total(make()));
}

template <Texts (*make)()>
void UnpackRef(benchmark::State &state) {
    const Texts packed = packed_texts<make>();
    for (auto _ : state) {
        for (const auto &p : packed) {
            size_t size = 0;
            char *t =
                simple_unpack(reinterpret_cast<const unsigned char *>(p.data()), p.size(), &size);
            benchmark::DoNotOptimize(t);
            std::free(t);
        }
    }
    qorbench::set_bytes(state, total(make()));
}

#define RLE_CASE(name, make)                                 \
    BENCHMARK(PackLib<make>)->Name("Pack/" name "/lib");     \
    BENCHMARK(PackRef<make>)->Name("Pack/" name "/ref");     \
    BENCHMARK(UnpackLib<make>)->Name("Unpack/" name "/lib"); \
    BENCHMARK(UnpackRef<make>)->Name("Unpack/" name "/ref");

RLE_CASE("rig", rig_texts<1000>)
RLE_CASE("rig16k", rig_texts<16384>)
RLE_CASE("random", random_bytes<16384>)
RLE_CASE("random1000", random_bytes<1000>)
RLE_CASE("longruns", long_runs)
RLE_CASE("prose", prose)
RLE_CASE("alternating", alternating)

}  // namespace

int main(int argc, char **argv) {
    return qorbench::run_benchmarks(argc, argv);
}
