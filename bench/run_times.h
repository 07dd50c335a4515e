// A console reporter that also keeps each benchmark's time per iteration, for a summary
// printed after the table (the ratios of variants run in the same process). Benchmarks are
// known by their registered name: the fastest CPU time of the repetitions reported, the
// median wall time (benchmark's median aggregate, or the median of the repetitions
// reported) and the error of a run that failed.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qorbench {

class TimesReporter : public benchmark::ConsoleReporter {
  public:
    explicit TimesReporter(OutputOptions options = OO_Defaults) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            Record &record = records_[run.run_name.function_name];
            if (run.error_occurred) {
                record.error = run.error_message;
                continue;
            }
            if (run.iterations == 0)
                continue;
            const auto iterations = static_cast<double>(run.iterations);
            if (run.run_type == Run::RT_Iteration) {
                record.cpu.push_back(run.cpu_accumulated_time / iterations);
                record.real.push_back(run.real_accumulated_time / iterations);
            } else if (run.aggregate_name == "median" && run.aggregate_unit == benchmark::kTime) {
                // An aggregate counts repetitions, not iterations: take the table's figure.
                record.median =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            }
            record.repetitions = std::max<long>(record.repetitions, run.repetitions);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        summary();
        std::fflush(stdout);
    }

    // Seconds per iteration of the fastest repetition reported.
    std::optional<double> fastestCpu(const std::string &name) const {
        const Record *record = find(name);
        if (!record || record->cpu.empty())
            return std::nullopt;
        return *std::min_element(record->cpu.begin(), record->cpu.end());
    }

    // Median wall time per iteration over the repetitions.
    std::optional<double> medianReal(const std::string &name) const {
        const Record *record = find(name);
        if (!record)
            return std::nullopt;
        if (record->median)
            return record->median;
        if (record->real.empty())
            return std::nullopt;
        std::vector<double> real = record->real;
        std::sort(real.begin(), real.end());
        const std::size_t middle = real.size() / 2;
        return real.size() % 2 ? real[middle] : (real[middle - 1] + real[middle]) / 2;
    }

    // The most repetitions any benchmark had.
    long repetitions() const {
        long most = 0;
        for (const auto &[name, record] : records_)
            most = std::max(most, record.repetitions);
        return most;
    }

    // Why a benchmark failed ("" when it did not).
    std::string error(const std::string &name) const {
        const Record *record = find(name);
        return record ? record->error : std::string();
    }

  protected:
    // Prints the summary after the table.
    virtual void summary() = 0;

  private:
    struct Record {
        std::vector<double> cpu, real;
        std::optional<double> median;
        long repetitions = 0;
        std::string error;
    };

    const Record *find(const std::string &name) const {
        const auto it = records_.find(name);
        return it == records_.end() ? nullptr : &it->second;
    }

    std::map<std::string, Record> records_;
};

}  // namespace qorbench
