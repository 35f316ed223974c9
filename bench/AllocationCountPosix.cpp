// Linux: the program defines the allocation functions, so that every library of the process
// (the extender and the stand-in included) allocates through them; each counts and passes on to
// the C library's own allocator.
#include "bench/AllocationCount.h"

#include <cerrno>
#include <cstddef>
#include <malloc.h>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {
// Plain counting: the benchmarks run on one thread.
std::uint64_t allocations = 0;
} // namespace

extern "C" {

void* malloc(std::size_t size) {
    ++allocations;
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
    ++allocations;
    return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) {
    ++allocations;
    return __libc_realloc(block, size);
}

void free(void* block) {
    __libc_free(block);
}

void* memalign(std::size_t alignment, std::size_t size) {
    ++allocations;
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    ++allocations;
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** block, std::size_t alignment, std::size_t size) {
    ++allocations;
    void* memory = __libc_memalign(alignment, size);
    if (memory == nullptr) {
        return ENOMEM;
    }
    *block = memory;
    return 0;
}

} // extern "C"

namespace zekbench {

std::uint64_t AllocationCount() {
    return allocations;
}

std::uint64_t HeapBytesInUse() {
    return mallinfo2().uordblks;
}

bool StartCountingAllocations() {
    return true;
}

} // namespace zekbench
