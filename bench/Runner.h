// Runs the registered cases and records each one's median CPU time and allocations per call
// (Report.h). Google Benchmark's runner on Linux; under Wine, where Debian has no Google
// Benchmark for Windows, a small runner with the same interface (mini/benchmark/benchmark.h).
#pragma once

#include <string>
#include <vector>

namespace zekbench {

// arguments: the runner's own options (--benchmark_filter=..., --benchmark_min_time=...,
// --benchmark_repetitions=...). False when an option is not understood.
bool RunCases(std::vector<std::string> arguments);

} // namespace zekbench
