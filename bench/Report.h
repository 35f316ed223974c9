// The report of a run: every case beside the bare calls it makes, as a ratio of CPU-time
// medians, with heap allocations per call; and the growth of the store cases with the number of
// stores open.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace zekbench {

// One case's result: the median CPU time of a call and the heap allocations per call.
void RecordMeasurement(const std::string& name, double nanoseconds, double allocations);

// Reports subject beside reference (the bare calls it makes), with an upper limit for the
// ratio (0: none).
void CompareWith(const std::string& subject, const std::string& reference, double limit);

// Extra lines of the report (measurements that are not timings).
void AddNote(const std::string& text);

// Prints the table to a stream; a tab-separated copy of every measurement goes to tsvPath
// when it is not empty.
void PrintReport(std::FILE* out, const std::string& tsvPath);

} // namespace zekbench
