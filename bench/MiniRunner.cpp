// The runner of the Windows build: for each case, an iteration count that takes the minimum
// time, then repetitions of it, and the median of their CPU times per iteration.
#include "bench/Report.h"
#include "bench/Runner.h"

#include <benchmark/benchmark.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <regex>
#include <utility>
#include <vector>

namespace benchmark {
namespace {

struct Case {
    std::string name;
    std::function<void(State&)> run;
};

std::vector<Case>& Cases() {
    static std::vector<Case> cases;
    return cases;
}

double ThreadCpuSeconds() {
    FILETIME creation, exit, kernel, user;
    GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user);
    auto seconds = [](const FILETIME& time) {
        return ((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) *
               1e-7;
    };
    return seconds(kernel) + seconds(user);
}

} // namespace

void State::Start() {
    startCpu_ = ThreadCpuSeconds();
}

void State::Stop() {
    cpuSeconds_ = ThreadCpuSeconds() - startCpu_;
}

Benchmark* RegisterBenchmark(const char* name, std::function<void(State&)> run) {
    Cases().push_back(Case{name, std::move(run)});
    static Benchmark handle;
    return &handle;
}

} // namespace benchmark

namespace zekbench {

bool RunCases(std::vector<std::string> arguments) {
    std::string filter = ".";
    double minTime = 0.5; // the thread CPU clock under Wine ticks every 10 ms
    int repetitions = 5;
    for (const std::string& argument : arguments) {
        auto value = [&](const char* option) {
            const std::string prefix = std::string(option) + "=";
            return argument.rfind(prefix, 0) == 0 ? argument.substr(prefix.size()) : std::string();
        };
        if (!value("--benchmark_filter").empty()) {
            filter = value("--benchmark_filter");
        } else if (!value("--benchmark_min_time").empty()) {
            minTime = std::stod(value("--benchmark_min_time"));
        } else if (!value("--benchmark_repetitions").empty()) {
            repetitions = std::max(1, std::stoi(value("--benchmark_repetitions")));
        } else if (argument.rfind("--benchmark_", 0) != 0) {
            std::fprintf(stderr, "unrecognized argument: %s\n", argument.c_str());
            return false;
        }
    }
    const std::regex selected(filter);
    for (auto& entry : benchmark::Cases()) {
        if (!std::regex_search(entry.name, selected)) {
            continue;
        }
        // Grow the count tenfold until a run takes a tenth of the minimum time, then scale.
        benchmark::IterationCount iterations = 1;
        for (;;) {
            benchmark::State trial(iterations);
            entry.run(trial);
            if (trial.CpuSeconds() >= minTime / 10 || iterations >= 1000000000) {
                if (trial.CpuSeconds() > 0) {
                    iterations = std::max<benchmark::IterationCount>(
                        1, static_cast<benchmark::IterationCount>(iterations * minTime /
                                                                  trial.CpuSeconds()));
                }
                break;
            }
            iterations *= 10;
        }
        std::vector<std::pair<double, double>> runs; // ns per iteration, allocations
        for (int i = 0; i < repetitions; ++i) {
            benchmark::State state(iterations);
            entry.run(state);
            const auto allocations = state.counters.find("allocs");
            runs.emplace_back(state.CpuSeconds() * 1e9 / static_cast<double>(iterations),
                              allocations != state.counters.end() ? allocations->second.value : 0);
        }
        std::sort(runs.begin(), runs.end());
        const auto& median = runs[runs.size() / 2];
        std::printf("%-36s %12.1f ns %12lld iterations %8.2f allocs\n", entry.name.c_str(),
                    median.first, static_cast<long long>(iterations), median.second);
        std::fflush(stdout);
        RecordMeasurement(entry.name, median.first, median.second);
    }
    return true;
}

} // namespace zekbench
