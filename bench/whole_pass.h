// One whole headless pass (RunAllTests through a recording host) with the library the
// binding is pointed at, timed per iteration; the pass benchmarks share it.
#pragma once

#include <benchmark/benchmark.h>

#include <QString>

#include "recording_host.h"
#include "run.h"

namespace qorbench {

inline void timeWholePasses(benchmark::State &state) {
    auto pass = [] {
        testing_support::RecordingHost host;
        suite::RunAllTests(host);
        return host.report.contains(QStringLiteral("All compresion tests passed OK"));
    };
    // The first pass loads the library (or starts its host) and shows it works.
    if (!pass()) {
        state.SkipWithError("the pass did not end with every compression test passed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(pass());
}

}  // namespace qorbench
