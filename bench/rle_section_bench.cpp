// The compression section as the rig runs it (10,000 texts generated, packed, unpacked
// and compared through the binding, with the report written) against the library's own
// work on the same texts: the same calls made directly, with no rig in between. Both
// start from the same seed, so they see the same texts.
#include <benchmark/benchmark.h>

#include <QString>
#include <cstring>

#include "library.h"
#include "qorbind.h"
#include "qorlib145.h"
#include "recording_host.h"
#include "run.h"
#include "sections.h"

namespace {

constexpr std::int32_t SEED = 12345;

void SectionThroughRig(benchmark::State &state) {
    qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    for (auto _ : state) {
        state.PauseTiming();
        testing_support::RecordingHost host;
        suite::Run run(host);
        qor::Randomise(SEED);
        state.ResumeTiming();
        suite::RleCompression(run);
        state.PauseTiming();
        if (run.errorCount() != 0 ||
            !host.report.contains(QStringLiteral("10000 of 10000 strings were compressed")))
            state.SkipWithError("the section did not pass every text");
        state.ResumeTiming();
    }
}
BENCHMARK(SectionThroughRig)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void LibraryOnly(benchmark::State &state) {
    for (auto _ : state) {
        Randomise(SEED);
        std::int32_t packedLength = 0;
        int intact = 0;
        for (int pass = 1; pass <= 10000; ++pass) {
            qor_text *source = RandomStr(1000, 8);
            qor_text *packed =
                RLECompress(source->data, static_cast<std::int32_t>(source->length), &packedLength);
            qor_text *unpacked = RLEUncompress(packed->data, &packedLength);
            intact += unpacked->length == source->length &&
                      std::memcmp(unpacked->data, source->data, source->length) == 0;
            qor_text_free(unpacked);
            qor_text_free(packed);
            qor_text_free(source);
        }
        if (intact != 10000)
            state.SkipWithError("a text did not come back intact");
        benchmark::DoNotOptimize(intact);
    }
}
BENCHMARK(LibraryOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
