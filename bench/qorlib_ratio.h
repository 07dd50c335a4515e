// Side-by-side library benchmarks: each case is registered twice, "<case>/lib/<size>" for the
// export and "<case>/ref/<size>" for a reference that returns a freshly allocated result too.
// After the usual console output a table gives, per case and size, the time per byte of
// both and the ratio library / reference (the best of --benchmark_repetitions runs, CPU time).
// The C library's allocator adapts to the sizes it has seen, so for figures that do not
// depend on the cases run before, run one size per process:
//   for s in 1024 4096 16384 65536 262144 1048576 4194304 16777216; do
//       build/bin/qorlib_codecs_bench --benchmark_filter="/$s\$" --benchmark_repetitions=3; done
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace qorbench {

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
                continue;
            std::string name = run.benchmark_name();
            bool lib = replace(name, "/lib", ""), ref = !lib && replace(name, "/ref", "");
            if (!lib && !ref)
                continue;
            double seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            if (!pairs_.count(name))
                order_.push_back(name);
            Pair &pair = pairs_[name];
            double &best = lib ? pair.lib : pair.ref;
            best = best == 0 ? seconds : std::min(best, seconds);
            if (!lib)
                continue;
            auto bytes = run.counters.find("bytes");
            if (bytes != run.counters.end())
                pair.bytes = bytes->second.value;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-44s %12s %12s %10s %10s %7s\n", "case", "lib", "ref", "lib ns/B",
                    "ref ns/B", "ratio");
        for (const std::string &name : order_) {  // in the order the cases ran
            const Pair &pair = pairs_.at(name);
            if (pair.lib == 0 || pair.ref == 0)
                continue;
            double bytes = pair.bytes > 0 ? pair.bytes : 1;
            std::printf("%-44s %12s %12s %10.3f %10.3f %7.2f\n", name.c_str(),
                        duration(pair.lib).c_str(), duration(pair.ref).c_str(),
                        pair.lib * 1e9 / bytes, pair.ref * 1e9 / bytes, pair.lib / pair.ref);
        }
        std::fflush(stdout);
    }

  private:
    struct Pair {
        double lib = 0, ref = 0, bytes = 0;
    };

    static bool replace(std::string &name, const std::string &part, const std::string &with) {
        size_t at = name.find(part + "/");
        if (at == std::string::npos && name.size() >= part.size() &&
            name.compare(name.size() - part.size(), part.size(), part) == 0)
            at = name.size() - part.size();
        if (at == std::string::npos)
            return false;
        name.replace(at, part.size(), with);
        return true;
    }

    static std::string duration(double seconds) {
        char text[32];
        if (seconds >= 1e-3)
            std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
        else if (seconds >= 1e-6)
            std::snprintf(text, sizeof text, "%.3f us", seconds * 1e6);
        else
            std::snprintf(text, sizeof text, "%.1f ns", seconds * 1e9);
        return text;
    }

    std::map<std::string, Pair> pairs_;
    std::vector<std::string> order_;
};

// Records the bytes one iteration handles, for the time-per-byte columns.
inline void set_bytes(benchmark::State &state, size_t bytes) {
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// Input sizes from 1 KiB to 16 MiB, by fours.
inline void sweep(benchmark::internal::Benchmark *b) {
    for (int64_t size = 1 << 10; size <= 16 << 20; size *= 4)
        b->Arg(size);
}

// English-like text: common words, blanks, some capitals and punctuation; deterministic.
inline std::string english(size_t size, uint32_t seed = 1) {
    static const char *const words[] = {
        "the",    "of",      "and",      "to",      "in",       "is",      "that",    "for",
        "it",     "as",      "was",      "with",    "be",       "by",      "on",      "not",
        "he",     "this",    "are",      "or",      "his",      "from",    "at",      "which",
        "but",    "have",    "an",       "had",     "they",     "you",     "were",    "their",
        "one",    "all",     "we",       "can",     "her",      "has",     "there",   "been",
        "if",     "more",    "when",     "will",    "would",    "who",     "so",      "no",
        "quick",  "brown",   "fox",      "jumped",  "over",     "lazy",    "dog",     "library",
        "report", "window",  "function", "returns", "value",    "number",  "between", "system",
        "people", "through", "because",  "should",  "question", "another", "general", "program"};
    constexpr size_t kWords = sizeof words / sizeof words[0];
    std::mt19937 rng(seed);
    std::string text;
    text.reserve(size + 16);
    bool sentence_start = true;
    while (text.size() < size) {
        std::string word = words[rng() % kWords];
        if (sentence_start || rng() % 16 == 0)
            word[0] = static_cast<char>(word[0] - 32);
        text += word;
        sentence_start = false;
        switch (rng() % 20) {
            case 0:
                text += ". ";
                sentence_start = true;
                break;
            case 1:
                text += ", ";
                break;
            default:
                text += ' ';
        }
    }
    text.resize(size);
    return text;
}

// Bytes 1..255 at random (texts passed by value hold no NUL).
inline std::string random_text(size_t size, uint32_t seed = 2) {
    std::mt19937 rng(seed);
    std::string text(size, '\0');
    for (char &c : text)
        c = static_cast<char>(1 + rng() % 255);
    return text;
}

// The main function of a side-by-side benchmark program.
inline int run_benchmarks(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace qorbench
