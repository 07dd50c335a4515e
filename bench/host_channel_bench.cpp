// What running the library in its host costs, against calling it in this process, in one
// run: the round trip of a short StrRev, a 64 KiB StrRev and GetPID through the binding, and
// a whole headless pass (RunAllTests through a recording host). Each runs with the library
// at QORLIB_PATH called directly ("direct", "inprocess" for the pass) and in qorlib-host
// ("isolated"), and, when the environment variable QORLIB_DLL names qorlib145.dll and
// WINEPREFIX a Wine prefix, with the DLL in qorlib-host.exe under Wine ("wine").
// Times are wall times: the host's work is not this process's CPU time. Unless the command
// line says otherwise, each benchmark runs 10 repetitions and reports their aggregates; the
// block after the table gives the medians, the ratios and the targets. Both sides of the
// channel spin, so the figures mean something only on an otherwise idle machine:
//   export QORLIB_DLL=$PWD/build-windows/bin/qorlib145.dll WINEPREFIX=$PWD/build-windows/wine
//   build/bin/host_channel_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "library.h"
#include "qorbind.h"
#include "rigerror.h"
#include "run_times.h"
#include "whole_pass.h"

namespace {

enum class Mode { Direct, Isolated, Wine };

const char *const WINE_UNSET =
    "set QORLIB_DLL to qorlib145.dll and WINEPREFIX to a Wine prefix (./testbed.sh dll builds "
    "build-windows/bin/qorlib145.dll and makes the prefix build-windows/wine)";

// The mode the binding is in: switching unloads the library or ends its host, so runs of one
// mode in a row keep theirs.
std::optional<Mode> current;

// Points the binding at the library of `mode` and loads it; skips the benchmark with the
// reason when it cannot.
bool use(benchmark::State &state, Mode mode) {
    qorbind::Library &library = qorbind::Library::instance();
    if (current != mode) {
        current.reset();
        if (mode == Mode::Wine) {
            const char *dll = std::getenv("QORLIB_DLL");
            if (!dll || !*dll || !std::getenv("WINEPREFIX")) {
                state.SkipWithError(WINE_UNSET);
                return false;
            }
            library.setPath(QString::fromLocal8Bit(dll));
            if (!library.isolated()) {
                state.SkipWithError("QORLIB_DLL does not name a Windows DLL");
                return false;
            }
        } else {
            library.setPath(QStringLiteral(QORLIB_PATH));
            library.setIsolated(mode == Mode::Isolated);
        }
        current = mode;
    }
    try {
        library.ensureLoaded();
    } catch (const rt::RigError &error) {
        current.reset();
        state.SkipWithError((error.description() + QStringLiteral(": ") + library.loadError())
                                .toLocal8Bit()
                                .constData());
        return false;
    }
    return true;
}

const QString SHORT_TEXT = QStringLiteral("The quick brown fox jumped uber the lazy dog");

QString longText() {
    QString text;
    while (text.size() < 65536)
        text += SHORT_TEXT + u' ';
    text.truncate(65536);
    return text;
}

void ReverseText(benchmark::State &state, Mode mode, const QString &text) {
    if (!use(state, mode))
        return;
    QString reversed = text;
    std::reverse(reversed.begin(), reversed.end());
    if (qor::StrRev(text) != reversed) {
        state.SkipWithError("StrRev did not reverse the text");
        return;
    }
    for (auto _ : state) {
        QString result = qor::StrRev(text);
        benchmark::DoNotOptimize(result);
    }
}

void ProcessId(benchmark::State &state, Mode mode) {
    if (!use(state, mode))
        return;
    // Another process's id shows that the call really crossed to the host.
    if ((qor::GetPID() == getpid()) != (mode == Mode::Direct)) {
        state.SkipWithError("GetPID answered from the wrong process");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(qor::GetPID());
}

void Pass(benchmark::State &state, Mode mode) {
    if (!use(state, mode))
        return;
    qorbench::timeWholePasses(state);
}

struct Row {
    const char *label;
    std::string name;  // the benchmarks are name + "/direct", "/isolated", "/wine"
    std::string direct = "direct";
};
const Row ROWS[] = {{"StrRev, 44 bytes", "StrRev44"},
                    {"StrRev, 64 KiB", "StrRev64K"},
                    {"GetPID", "GetPID"},
                    {"whole pass", "Pass", "inprocess"}};

std::string duration(std::optional<double> seconds) {
    if (!seconds)
        return "-";
    char text[32];
    if (*seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.2f ms", *seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.3f us", *seconds * 1e6);
    return text;
}

std::string ratio(std::optional<double> part, std::optional<double> whole) {
    if (!part || !whole)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1fx", *part / *whole);
    return text;
}

class ChannelReporter : public qorbench::TimesReporter {
  public:
    // Plain text when the output goes to a file, as benchmark's own reporter does.
    ChannelReporter() : TimesReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}

  protected:
    void summary() override {
        std::printf("\nMedian wall time per call or pass, %ld repetitions\n", repetitions());
        std::printf("%-18s %12s %12s %9s %12s %9s\n", "", "direct", "isolated", "ratio", "wine",
                    "ratio");
        for (const Row &row : ROWS) {
            const auto direct = medianReal(row.name + "/" + row.direct);
            const auto isolated = medianReal(row.name + "/isolated");
            const auto wine = medianReal(row.name + "/wine");
            std::printf("%-18s %12s %12s %9s %12s %9s\n", row.label, duration(direct).c_str(),
                        duration(isolated).c_str(), ratio(isolated, direct).c_str(),
                        duration(wine).c_str(), ratio(wine, direct).c_str());
        }

        std::printf("Targets\n");
        const auto inprocess = medianReal("Pass/inprocess");
        target("isolated StrRev, 44 bytes <= 5 us", medianReal("StrRev44/isolated"), 5e-6,
               duration);
        target("isolated pass / in-process <= 3x", ratioOf("Pass/isolated", inprocess), 3,
               [](auto r) { return ratio(r, 1.0); });
        target("Wine pass / in-process <= 20x", ratioOf("Pass/wine", inprocess), 20,
               [](auto r) { return ratio(r, 1.0); });

        // Each reason once, with the benchmarks it stopped.
        std::map<std::string, std::string> skipped;
        for (const Row &row : ROWS)
            for (const std::string &mode :
                 {row.direct, std::string("isolated"), std::string("wine")})
                if (const std::string why = error(row.name + "/" + mode); !why.empty())
                    skipped[why] += (skipped[why].empty() ? "" : ", ") + row.name + "/" + mode;
        for (const auto &[why, names] : skipped)
            std::printf("Skipped %s: %s\n", names.c_str(), why.c_str());
        double load[3];
        if (getloadavg(load, 3) == 3)
            std::printf("Load average at the end: %.2f, %.2f, %.2f\n", load[0], load[1], load[2]);
    }

  private:
    std::optional<double> ratioOf(const std::string &name, std::optional<double> base) const {
        const auto time = medianReal(name);
        if (!time || !base)
            return std::nullopt;
        return *time / *base;
    }

    template <class Show>
    static void target(const char *what, std::optional<double> value, double limit, Show show) {
        const char *verdict = !value ? "not measured" : *value <= limit ? "met" : "MISSED";
        std::printf("  %-38s %10s  %s\n", what, show(value).c_str(), verdict);
    }
};

// Defaults that the command line overrides: later flags win.
std::vector<char *> withDefaults(int argc, char **argv) {
    static char repetitions[] = "--benchmark_repetitions=10";
    static char aggregates[] = "--benchmark_report_aggregates_only=true";
    std::vector<char *> args{argv[0], repetitions, aggregates};
    args.insert(args.end(), argv + 1, argv + argc);
    args.push_back(nullptr);
    return args;
}

}  // namespace

int main(int argc, char **argv) {
    std::vector<char *> args = withDefaults(argc, argv);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    // The variants of one measurement side by side, so that a change of load hits them alike.
    const QString longSample = longText();
    const std::pair<Mode, std::string> modes[] = {
        {Mode::Direct, "direct"}, {Mode::Isolated, "isolated"}, {Mode::Wine, "wine"}};
    for (const auto &[mode, name] : modes)
        benchmark::RegisterBenchmark(("StrRev44/" + name).c_str(), ReverseText, mode, SHORT_TEXT)
            ->UseRealTime();
    for (const auto &[mode, name] : modes)
        benchmark::RegisterBenchmark(("StrRev64K/" + name).c_str(), ReverseText, mode, longSample)
            ->UseRealTime()
            ->Unit(benchmark::kMicrosecond);
    for (const auto &[mode, name] : modes)
        benchmark::RegisterBenchmark(("GetPID/" + name).c_str(), ProcessId, mode)->UseRealTime();
    for (const auto &[mode, name] : modes)
        benchmark::RegisterBenchmark(
            ("Pass/" + (mode == Mode::Direct ? std::string("inprocess") : name)).c_str(), Pass,
            mode)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);

    ChannelReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
