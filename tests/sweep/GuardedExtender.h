// The extender's exports as the allocation-failure sweep calls them: every ZEKExtender2W call
// is numbered; the allocations made inside one chosen call are counted, and one of them can be
// made to fail. What the host itself allocates during the call (in its result callback and its
// services) is neither counted nor failed. Every call is checked at the boundary: exactly one
// result from a function, none from a special request, and no exception leaving an export.
#pragma once

#include "host/HostSession.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zeksweep {

// Wraps the loaded extender's entry points.
zekhost::ExtenderApi GuardedApi(const zekhost::ExtenderApi& extender);

// Calls made so far through the wrapped entry points (queries not included).
std::size_t CallsMade();

// Counts the allocations of call number `call`; with failAt nonzero, its failAt-th fails.
void TargetCall(std::size_t call, std::size_t failAt);

// Allocations counted in each call since the last TargetCall (only the target's is nonzero).
std::size_t AllocationsInTarget();

// Whether the failure was made to happen.
bool TargetFailed();

// Ids 0..count-1 name functions; set once the handshake has told.
void SetFunctionCount(std::int32_t count, std::int16_t openId);

// What went wrong at the boundary since the start; empty when nothing.
const std::vector<std::string>& BoundaryFaults();

// The highest store handle an open has issued.
std::uint32_t HighestIssuedHandle();

} // namespace zeksweep
