// zxvto_bench: the extender's calls beside the bare calls they make.
//
//   zxvto_bench [--tsv=FILE] [--no-memory] [--benchmark_filter=REGEX]
//               [--benchmark_min_time=SECONDS] [--benchmark_repetitions=N]
//
// Prints each case's median CPU time, then a table of every case beside its bare calls with
// the ratio and the heap allocations per call. Under Wine the program needs the stand-in
// property system: the build's wine-run.sh --start sets that up for it alone.
#include "bench/AllocationCount.h"
#include "bench/BenchHost.h"
#include "bench/Cases.h"
#include "bench/Report.h"
#include "bench/Runner.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::string tsv;
    bool measureMemory = true;
    std::vector<std::string> runnerArguments;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--tsv=", 0) == 0) {
            tsv = argument.substr(6);
        } else if (argument == "--no-memory") {
            measureMemory = false;
        } else {
            runnerArguments.push_back(argument);
        }
    }

    zekbench::BenchHost host;
    std::string error;
    if (!host.Load(error)) {
        std::fprintf(stderr, "zxvto_bench: %s\n", error.c_str());
        return 1;
    }
    if (!zekbench::StartCountingAllocations()) {
        zekbench::AddNote("Allocations could not be counted: the counts read 0.");
    }
    zekbench::PrepareCases(host, measureMemory);
    zekbench::RegisterCases();
    if (!zekbench::RunCases(runnerArguments)) {
        return 2;
    }
    zekbench::PrintReport(stdout, tsv);
    return 0;
}
