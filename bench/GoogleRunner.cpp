// The cases under Google Benchmark: CPU-time medians of repetitions, recorded by a reporter
// that also prints Google Benchmark's own console lines.
#include "bench/Report.h"
#include "bench/Runner.h"

#include <benchmark/benchmark.h>

namespace zekbench {
namespace {

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // The median of repetitions, or the one run there is.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (run.error_occurred || !(median || single)) {
                continue;
            }
            const auto allocations = run.counters.find("allocs");
            RecordMeasurement(run.run_name.function_name,
                              run.GetAdjustedCPUTime() * TimeUnitInNanoseconds(run.time_unit),
                              allocations != run.counters.end() ? allocations->second.value : 0);
        }
    }

private:
    static double TimeUnitInNanoseconds(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kMicrosecond:
            return 1e3;
        case benchmark::kMillisecond:
            return 1e6;
        case benchmark::kSecond:
            return 1e9;
        default:
            return 1;
        }
    }
};

} // namespace

bool RunCases(std::vector<std::string> arguments) {
    // Medians of repetitions unless the command line says otherwise.
    std::vector<std::string> all = {"zxvto_bench", "--benchmark_repetitions=5",
                                    "--benchmark_report_aggregates_only=true",
                                    "--benchmark_min_time=0.2", "--benchmark_color=false"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) {
        argv.push_back(&argument[0]);
    }
    int argc = static_cast<int>(argv.size());
    benchmark::Initialize(&argc, argv.data());
    if (benchmark::ReportUnrecognizedArguments(argc, argv.data())) {
        return false;
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return true;
}

} // namespace zekbench
