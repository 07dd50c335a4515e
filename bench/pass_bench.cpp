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
#include <map>
#include <string>

#include "library.h"
#include "recording_host.h"
#include "run.h"

namespace {

void Pass(benchmark::State &state, const QString &path) {
    qorbind::Library::instance().setPath(path);
    auto pass = [] {
        testing_support::RecordingHost host;
        suite::RunAllTests(host);
        return host.report.contains(QStringLiteral("All compresion tests passed OK"));
    };
    if (!pass()) {
        state.SkipWithError("the pass did not end with every compression test passed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(pass());
}

// The console output, then the fastest CPU time of each pass and their ratio.
class PassReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || !run.iterations)
                continue;
            const double seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            auto [it, added] = fastest_.emplace(run.run_name.function_name, seconds);
            if (!added && seconds < it->second)
                it->second = seconds;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto current = fastest_.find("Pass/current"), before = fastest_.find("Pass/baseline");
        if (current == fastest_.end() || before == fastest_.end())
            return;
        std::printf("\nCPU per pass: current %.2f ms, baseline %.2f ms, current / baseline %.2f\n",
                    current->second * 1e3, before->second * 1e3, current->second / before->second);
    }

  private:
    std::map<std::string, double> fastest_;
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
