// PHPDate against the C library's own local-time formatting (localtime_r + strftime into a
// freshly allocated text, the same contract as the library), with TZ unset (the system
// zone), TZ=UTC and a zone with daylight-saving time. Both sides format the same table of
// moments, so neither gains from repeating one. The ratio library / reference of each
// pair is printed after the table.
#include <benchmark/benchmark.h>
#include <time.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "qorlib145.h"

namespace {

struct Format {
    const char *name;
    const char *php;
    const char *c;
};
const Format kFormats[] = {
    {"Y-m-d H:i:s", "Y-m-d H:i:s", "%Y-%m-%d %H:%M:%S"},
    {"r", "r", "%a, %d %b %Y %H:%M:%S %z"},
};
const char *const kZones[] = {nullptr, "UTC", "Europe/Berlin"};

void use_zone(const char *zone) {
    if (zone)
        setenv("TZ", zone, 1);
    else
        unsetenv("TZ");
    tzset();
}

// 4096 moments between 2000 and 2030, as date values.
const std::vector<double> &moments() {
    static const std::vector<double> values = [] {
        std::mt19937_64 random(2024);
        std::uniform_int_distribution<long long> pick(946'684'800LL, 1'893'456'000LL);
        std::vector<double> v(4096);
        for (double &d : v)
            d = 25569.0 + static_cast<double>(pick(random)) / 86400.0;
        return v;
    }();
    return values;
}

void Library(benchmark::State &state, const Format &format, const char *zone) {
    use_zone(zone);
    const std::vector<double> &dates = moments();
    std::size_t i = 0;
    for (auto _ : state) {
        qor_text *text = PHPDate(dates[i++ & 4095], format.php);
        benchmark::DoNotOptimize(text->data);
        qor_text_free(text);
    }
}

void Reference(benchmark::State &state, const Format &format, const char *zone) {
    use_zone(zone);
    const std::vector<double> &dates = moments();
    std::size_t i = 0;
    for (auto _ : state) {
        const time_t t = static_cast<time_t>(std::llround((dates[i++ & 4095] - 25569.0) * 86400));
        struct tm parts {};
        localtime_r(&t, &parts);
        char buffer[64];
        const std::size_t n = strftime(buffer, sizeof buffer, format.c, &parts);
        char *text = static_cast<char *>(std::malloc(n + 1));
        std::memcpy(text, buffer, n + 1);
        benchmark::DoNotOptimize(text);
        std::free(text);
    }
}

// Prints the table as usual, then library CPU time / reference CPU time of every pair.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With --benchmark_repetitions the medians stand for their runs.
        for (const Run &run : runs)
            if (run.aggregate_name.empty() || run.aggregate_name == "median")
                times_[run.run_name.str()] = run.GetAdjustedCPUTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto &[name, time] : times_) {
            if (name.rfind("PHPDate/", 0) != 0)
                continue;
            const auto reference = times_.find("Reference/" + name.substr(8));
            if (reference != times_.end() && reference->second > 0)
                std::printf("ratio %-32s %.2f\n", name.substr(8).c_str(), time / reference->second);
        }
    }

  private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char **argv) {
    for (const Format &format : kFormats) {
        for (const char *zone : kZones) {
            const std::string suffix =
                std::string(format.name) + "/TZ=" + (zone ? zone : "(unset)");
            benchmark::RegisterBenchmark(("PHPDate/" + suffix).c_str(), Library, format, zone);
            benchmark::RegisterBenchmark(("Reference/" + suffix).c_str(), Reference, format, zone);
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
