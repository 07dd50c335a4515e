// One whole headless pass (RunAllTests through a recording host) with the library at
// QORLIB_PATH, and, when the environment variable QORLIB_BASELINE names another build of
// the library, the same pass with that one, in the same run: before and after, side by
// side. The binding holds one library at a time, so each benchmark points it at its own
// before it starts (the switch unloads the other) and runs one pass untimed to load it.
// Run with --benchmark_enable_random_interleaving=true --benchmark_repetitions=N to
// alternate the two; the last line gives the ratio of their fastest CPU times.
#include <benchmark/benchmark.h>

#include <QString>
#include <cstdio>
#include <cstdlib>

#include "library.h"
#include "run_times.h"
#include "whole_pass.h"

namespace {

void Pass(benchmark::State &state, const QString &path) {
    qorbind::Library::instance().setPath(path);
    qorbench::timeWholePasses(state);
}

// The console output, then the fastest CPU time of each pass and their ratio.
class PassReporter : public qorbench::TimesReporter {
  protected:
    void summary() override {
        const auto current = fastestCpu("Pass/current"), before = fastestCpu("Pass/baseline");
        if (!current || !before)
            return;
        std::printf("\nCPU per pass: current %.2f ms, baseline %.2f ms, current / baseline %.2f\n",
                    *current * 1e3, *before * 1e3, *current / *before);
    }
};

}  // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RegisterBenchmark("Pass/current", Pass, QStringLiteral(QORLIB_PATH))
        ->Unit(benchmark::kMillisecond);
    if (const char *baseline = std::getenv("QORLIB_BASELINE"))
        benchmark::RegisterBenchmark("Pass/baseline", Pass, QString::fromLocal8Bit(baseline))
            ->Unit(benchmark::kMillisecond);
    PassReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
