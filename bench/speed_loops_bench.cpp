// The cost of one call of the speed loops through the binding (text converted to 8 bits,
// export called in the loaded library, buffer copied back, result converted and released)
// against a direct call of the same export with bytes prepared once.
#include <benchmark/benchmark.h>

#include <QString>

#include "library.h"
#include "qorbind.h"
#include "qorlib145.h"

namespace {

const QString SAMPLE = QStringLiteral("The quick brown fox jumped uber the lazy dog");
const QString NUMBER = QStringLiteral("1234567890123456789012345678901.234");

void BoundStringToHex(benchmark::State &state) {
    QString sample = SAMPLE;
    for (auto _ : state) {
        QString result = qor::StringToHex(sample);  // a variable: copied back
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BoundStringToHex);

// The same call with a constant text, which is not copied back: the difference to the
// call above is the cost of the copy-back alone.
void BoundStringToHexConstant(benchmark::State &state) {
    const QString sample = SAMPLE;
    for (auto _ : state) {
        QString result = qor::StringToHex(sample);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BoundStringToHexConstant);

void DirectStringToHex(benchmark::State &state) {
    const QByteArray bytes = SAMPLE.toLatin1();
    for (auto _ : state) {
        qor_text *result = StringToHex(bytes.constData());
        benchmark::DoNotOptimize(result);
        qor_text_free(result);
    }
}
BENCHMARK(DirectStringToHex);

void BoundCommaStr(benchmark::State &state) {
    QString number = NUMBER;
    for (auto _ : state) {
        QString result = qor::CommaStr(number, 3);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BoundCommaStr);

void DirectCommaStr(benchmark::State &state) {
    const QByteArray bytes = NUMBER.toLatin1();
    for (auto _ : state) {
        qor_text *result = CommaStr(bytes.constData(), 3);
        benchmark::DoNotOptimize(result);
        qor_text_free(result);
    }
}
BENCHMARK(DirectCommaStr);

void BoundEncodeString64(benchmark::State &state) {
    QString sample = SAMPLE;
    for (auto _ : state) {
        QString result = qor::EncodeString64(sample, 32);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BoundEncodeString64);

void DirectEncodeString64(benchmark::State &state) {
    const QByteArray bytes = SAMPLE.toLatin1();
    qor_text *text = qor_text_new(bytes.constData(), static_cast<size_t>(bytes.size()));
    for (auto _ : state) {
        qor_text *result = EncodeString64(&text, 32);
        benchmark::DoNotOptimize(result);
        qor_text_free(result);
    }
    qor_text_free(text);
}
BENCHMARK(DirectEncodeString64);

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
