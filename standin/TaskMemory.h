// Task memory handed out by the stand-in, with the bookkeeping that lets tests see what is
// still live and what was freed twice.
//
// Off Windows this library is the COM task allocator itself: every CoTaskMemAlloc and
// CoTaskMemFree of the process lands here, and a free of a block that is not live is counted
// and ignored. On Windows the allocator stays the system's; a malloc spy watches its frees,
// so a block of ours freed by anyone is seen, and a second free of it is counted and dropped.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>

namespace standin {

void* TaskAlloc(std::size_t size);
void TaskFree(void* block);

// A NUL-terminated copy in task memory; null when out of memory.
WCHAR* TaskString(const WString& text);

std::int64_t LiveAllocations();
std::int64_t BadFrees();
void ForgetBadFrees();

} // namespace standin
