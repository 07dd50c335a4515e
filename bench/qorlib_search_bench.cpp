// The searching exports against the C library and plain C++: InStrI against strcasestr on
// English-like text (needles of 4 to 40 bytes, hits late in the text and misses), InStrRev
// against std::string_view::rfind, Replace against a find-and-copy loop; then all three on
// the worst cases of a naive search.
#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#include "qorlib145.h"
#include "qorlib_ratio.h"

namespace {

using namespace qorbench;

constexpr size_t kText = 64 << 10;

// A needle of `length` bytes, its letters' case flipped, whose first occurrence lies in the
// last quarter of the text; or, for a miss, the same needle with one byte changed so that
// it occurs nowhere.
std::string needle_for(const std::string &text, size_t length, bool hit) {
    std::string needle;
    for (size_t at = text.size() - length; at > text.size() / 4 * 3; --at) {
        needle = text.substr(at, length);
        if (strcasestr(text.c_str(), needle.c_str()) == text.c_str() + at)
            break;
    }
    for (char &c : needle)
        if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')
            c ^= 0x20;
    if (!hit)
        needle[length / 2] = 'q';
    return needle;
}

void register_instri() {
    for (size_t length : {4, 8, 16, 40}) {
        for (bool hit : {true, false}) {
            std::string name = "InStrI_english_" + std::string(hit ? "hit" : "miss") + "_" +
                               std::to_string(length);
            benchmark::RegisterBenchmark((name + "/lib").c_str(), [=](benchmark::State &state) {
                std::string text = english(kText), needle = needle_for(text, length, hit);
                for (auto _ : state)
                    benchmark::DoNotOptimize(InStrI(text.c_str(), needle.c_str()));
                set_bytes(state, text.size());
                if (hit != (InStrI(text.c_str(), needle.c_str()) > 0))
                    state.SkipWithError("wrong answer");
            });
            benchmark::RegisterBenchmark((name + "/ref").c_str(), [=](benchmark::State &state) {
                std::string text = english(kText), needle = needle_for(text, length, hit);
                for (auto _ : state)
                    benchmark::DoNotOptimize(strcasestr(text.c_str(), needle.c_str()));
                set_bytes(state, text.size());
            });
        }
    }
}

void register_instrrev() {
    for (size_t length : {4, 16}) {
        std::string name = "InStrRev_english_miss_" + std::to_string(length);
        auto make = [length] {
            std::string text = english(kText);
            std::string needle = text.substr(100, length);
            needle[length / 2] = 'q';
            return std::pair(text, needle);
        };
        benchmark::RegisterBenchmark((name + "/lib").c_str(), [=](benchmark::State &state) {
            auto [text, needle] = make();
            for (auto _ : state)
                benchmark::DoNotOptimize(InStrRev(text.c_str(), needle.c_str()));
            set_bytes(state, text.size());
        });
        benchmark::RegisterBenchmark((name + "/ref").c_str(), [=](benchmark::State &state) {
            auto [text, needle] = make();
            for (auto _ : state)
                benchmark::DoNotOptimize(std::string_view(text).rfind(needle));
            set_bytes(state, text.size());
        });
    }
}

// Counts, sizes the result exactly, then copies: the plain way to a fresh allocation.
char *ref_replace(const char *subject, const char *find, const char *with) {
    std::string_view in(subject), what(find), by(with);
    size_t count = 0;
    for (size_t at = in.find(what); at != in.npos; at = in.find(what, at + what.size()))
        ++count;
    char *out =
        static_cast<char *>(std::malloc(in.size() + count * by.size() - count * what.size() + 1));
    char *to = out;
    size_t from = 0;
    for (size_t at = in.find(what); at != in.npos; at = in.find(what, at + what.size())) {
        std::memcpy(to, in.data() + from, at - from);
        to += at - from;
        std::memcpy(to, by.data(), by.size());
        to += by.size();
        from = at + what.size();
    }
    std::memcpy(to, in.data() + from, in.size() - from);
    to[in.size() - from] = '\0';
    return out;
}

void register_replace() {
    struct Case {
        const char *name, *find, *with;
    };
    for (Case c : {Case{"Replace_fox_goat", "fox", "goat"}, Case{"Replace_the_a", "the", "a"}}) {
        std::string name = c.name;
        benchmark::RegisterBenchmark((name + "/lib").c_str(), [=](benchmark::State &state) {
            std::string text = english(static_cast<size_t>(state.range(0)));
            for (auto _ : state) {
                qor_text *result = Replace(text.c_str(), c.find, c.with);
                benchmark::DoNotOptimize(result);
                qor_text_free(result);
            }
            set_bytes(state, text.size());
        })->Apply(sweep);
        benchmark::RegisterBenchmark((name + "/ref").c_str(), [=](benchmark::State &state) {
            std::string text = english(static_cast<size_t>(state.range(0)));
            for (auto _ : state) {
                char *result = ref_replace(text.c_str(), c.find, c.with);
                benchmark::DoNotOptimize(result);
                std::free(result);
            }
            set_bytes(state, text.size());
        })->Apply(sweep);
    }
}

// 1 MiB of "a" and needles that match it almost everywhere: a naive search restarts after
// every partial match ("a"x1000 "b"), and one with "b" in its middle also defeats filters
// that look at the needle's ends. References: strcasestr, and glibc's memmem, which is
// linear; for the backward search it looks for the mirrored needle.
char *ref_replace_memmem(const std::string &in, const std::string &what, const char *with) {
    std::string out;
    size_t from = 0;
    while (const void *hit = memmem(in.data() + from, in.size() - from, what.data(), what.size())) {
        size_t at = static_cast<size_t>(static_cast<const char *>(hit) - in.data());
        out.append(in, from, at - from).append(with);
        from = at + what.size();
    }
    out.append(in, from);
    return strdup(out.c_str());
}

void register_worst_cases() {
    struct Needle {
        const char *name;
        std::string bytes;
    };
    const Needle needles[] = {
        {"a1000b", std::string(1000, 'a') + "b"},
        {"a4095b", std::string(4095, 'a') + "b"},
        {"a500ba500", std::string(500, 'a') + "b" + std::string(500, 'a')},
    };
    for (const Needle &needle : needles) {
        std::string n = needle.bytes, mirrored(n.rbegin(), n.rend());
        using Call = std::function<void(const std::string &)>;
        auto add = [](const std::string &name, Call lib, Call ref) {
            for (const auto &[side, call] : {std::pair{"/lib", lib}, std::pair{"/ref", ref}})
                benchmark::RegisterBenchmark((name + side).c_str(), [call](
                                                                        benchmark::State &state) {
                    std::string text(1 << 20, 'a');
                    for (auto _ : state)
                        call(text);
                    set_bytes(state, text.size());
                })->Unit(benchmark::kMillisecond);
        };
        std::string suffix = std::string("_worst_1MiB_") + needle.name;
        add(
            "InStrI" + suffix,
            [n](const std::string &text) {
                benchmark::DoNotOptimize(InStrI(text.c_str(), n.c_str()));
            },
            [n](const std::string &text) {
                benchmark::DoNotOptimize(strcasestr(text.c_str(), n.c_str()));
            });
        add(
            "InStrRev" + suffix,
            [n](const std::string &text) {
                benchmark::DoNotOptimize(InStrRev(text.c_str(), n.c_str()));
            },
            [mirrored](const std::string &text) {
                benchmark::DoNotOptimize(
                    memmem(text.data(), text.size(), mirrored.data(), mirrored.size()));
            });
        add(
            "Replace" + suffix,
            [n](const std::string &text) { qor_text_free(Replace(text.c_str(), n.c_str(), "x")); },
            [n](const std::string &text) { std::free(ref_replace_memmem(text, n, "x")); });
    }
}

[[maybe_unused]] const int registered = [] {
    register_instri();
    register_instrrev();
    register_replace();
    register_worst_cases();
    return 0;
}();

}  // namespace

int main(int argc, char **argv) {
    return qorbench::run_benchmarks(argc, argv);
}
