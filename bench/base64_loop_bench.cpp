// The Base64 throughput loop of a run: 1000 encodings, 20 characters a line, of the
// 100-fold sample (4400 characters). Through the binding every call converts the text to
// 8 bits, copies it into a library text, encodes, takes the variable back and converts
// the result; the direct loop calls the same export on a text prepared once. The binding
// should cost less than three times the library's own work.
#include <benchmark/benchmark.h>

#include <QString>

#include "library.h"
#include "qorbind.h"
#include "qorlib145.h"

namespace {

const QString SAMPLE = QStringLiteral("The quick brown fox jumped uber the lazy dog");
constexpr int kRounds = 1000;

QString hundredFold() {
    QString text;
    for (int i = 0; i < 100; ++i)
        text += SAMPLE;
    return text;
}

void BoundBase64Loop(benchmark::State &state) {
    QString text = hundredFold();
    QString encoded;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round)
            encoded = qor::EncodeString64(text, 20);  // by reference, as the loop passes it
        benchmark::DoNotOptimize(encoded);
    }
    state.SetBytesProcessed(state.iterations() * kRounds * text.size());
}
BENCHMARK(BoundBase64Loop)->Unit(benchmark::kMillisecond);

void DirectBase64Loop(benchmark::State &state) {
    const QByteArray bytes = hundredFold().toLatin1();
    qor_text *text = qor_text_new(bytes.constData(), static_cast<size_t>(bytes.size()));
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            qor_text *result = EncodeString64(&text, 20);
            benchmark::DoNotOptimize(result);
            qor_text_free(result);
        }
    }
    qor_text_free(text);
    state.SetBytesProcessed(state.iterations() * kRounds * bytes.size());
}
BENCHMARK(DirectBase64Loop)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
    qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
