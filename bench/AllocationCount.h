// Heap allocations made anywhere in the process (the extender, the stand-in property system
// and the program itself), counted while the benchmarks run.
#pragma once

#include <cstdint>

namespace zekbench {

// Allocations so far: every malloc, calloc, realloc and aligned allocation (Linux), or every
// allocation of the C runtime and of COM task memory by the extender and the stand-in
// (Windows). A free is not counted.
std::uint64_t AllocationCount();

// Bytes currently allocated from the heap (Linux: mallinfo2's in-use bytes); 0 where unknown.
std::uint64_t HeapBytesInUse();

// Prepares counting for the loaded modules (Windows: hooks their imports). False when
// counting is not available; the counts then stay 0.
bool StartCountingAllocations();

} // namespace zekbench
