// Printf into the window's report console: a run writes its report while the console is
// hidden and shows it once at the end; that must stay well under a second for 30,000 lines.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "form1.h"

namespace {

const QString sampleLine =
    QStringLiteral("StringToHex(qbf)=[54686520717569636B2062726F776E20666F78206A756D706564]");

// A hidden report of `lines` lines, then shown: what one run costs in report writing.
void BM_PrintfHiddenThenShown(benchmark::State &state) {
    rig::Form1 form([](suite::Host &) { return 0; });
    const int lines = static_cast<int>(state.range(0));
    for (auto _ : state) {
        form.setReportVisible(false);
        form.clearReport();
        for (int i = 0; i < lines; ++i) {
            form.Printf(QStringLiteral("Label ") + QString::number(i) + QStringLiteral("=;"));
            form.Printf(sampleLine);
        }
        form.setReportVisible(true);
        benchmark::DoNotOptimize(form.reportConsole()->document()->blockCount());
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_PrintfHiddenThenShown)->Arg(30000)->Unit(benchmark::kMillisecond);

// Appending to a shown console (the closing lines of a run, the loops' total line).
void BM_PrintfShown(benchmark::State &state) {
    rig::Form1 form([](suite::Host &) { return 0; });
    form.show();
    const int lines = static_cast<int>(state.range(0));
    for (auto _ : state) {
        form.clearReport();
        for (int i = 0; i < lines; ++i)
            form.Printf(sampleLine);
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_PrintfShown)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
