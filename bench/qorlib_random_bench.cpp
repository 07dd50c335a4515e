// RandomStr's run mode (8), as the rig calls it, against the plain fill it replaced: the
// same generator and draws, a byte at a time into a string, then copied into a fresh
// result. Both run as "<case>/lib" and "<case>/ref"; the reference also proves, before it
// is timed, that it draws exactly the library's texts.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "qorlib145.h"
#include "qorlib_ratio.h"
#include "../qorlib/fuzz/random_reference.h"

namespace {

constexpr int32_t kSeed = 12345;

using PlainGenerator = fuzz::ReferenceDraws;

const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

qor_text *plain_runs(PlainGenerator &generator, std::size_t size) {
    std::string text(size, '\0');
    std::size_t i = 0;
    std::uint32_t previous = 52;
    while (i < size) {
        std::uint32_t letter = generator.below(51);
        if (letter >= previous)
            ++letter;
        previous = letter;
        const std::size_t run = 1 + generator.below(12);
        for (std::size_t n = 0; n < run && i < size; ++n)
            text[i++] = kLetters[letter];
    }
    return qor_text_new(text.data(), text.size());
}

bool same_texts(std::size_t size) {
    Randomise(kSeed);
    PlainGenerator generator(kSeed);
    for (int i = 0; i < 100; ++i) {
        qor_text *a = RandomStr(static_cast<int32_t>(size), 8), *b = plain_runs(generator, size);
        const bool same = a->length == b->length && std::memcmp(a->data, b->data, a->length) == 0;
        qor_text_free(a);
        qor_text_free(b);
        if (!same)
            return false;
    }
    return true;
}

void RunsLib(benchmark::State &state) {
    const auto size = static_cast<int32_t>(state.range(0));
    Randomise(kSeed);
    for (auto _ : state) {
        qor_text *t = RandomStr(size, 8);
        benchmark::DoNotOptimize(t->data);
        qor_text_free(t);
    }
    qorbench::set_bytes(state, static_cast<size_t>(size));
}
BENCHMARK(RunsLib)->Name("Runs/lib")->Arg(1000)->Arg(1 << 20);

void RunsRef(benchmark::State &state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    if (!same_texts(size)) {
        state.SkipWithError("the plain fill draws other texts than the library");
        return;
    }
    PlainGenerator generator(kSeed);
    for (auto _ : state) {
        qor_text *t = plain_runs(generator, size);
        benchmark::DoNotOptimize(t->data);
        qor_text_free(t);
    }
    qorbench::set_bytes(state, size);
}
BENCHMARK(RunsRef)->Name("Runs/ref")->Arg(1000)->Arg(1 << 20);

}  // namespace

int main(int argc, char **argv) {
    return qorbench::run_benchmarks(argc, argv);
}
