// The benchmark cases and what they need set up before they run.
#pragma once

#include "platform/platform.h"

namespace zekbench {

class BenchHost;

// Declares the stand-in items, opens the stores the cases use and, when asked, measures the
// extender's memory per open store. Call once, after StartCountingAllocations.
bool PrepareCases(BenchHost& host, bool measureMemory);

// Registers every case and the comparisons of the report.
void RegisterCases();

// IID_IPropertyStore.
const IID& PropertyStoreId();

} // namespace zekbench
