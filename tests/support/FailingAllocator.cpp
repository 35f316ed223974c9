#include "FailingAllocator.h"

#include <cstdlib>
#include <new>

namespace {

struct ArmingState {
    bool armed = false;
    bool sticky = false;
    bool failed = false;
    std::size_t failAt = 0;
    std::size_t count = 0;
};

// Constant-initialised: allocations made by other static initialisers find it ready.
ArmingState state;

// Counts an allocation and says whether it is to fail.
bool ShouldFail() {
    if (!state.armed) {
        return false;
    }
    ++state.count;
    const bool fail = state.failAt != 0 &&
                      (state.count == state.failAt || (state.sticky && state.count > state.failAt));
    state.failed = state.failed || fail;
    return fail;
}

void* Allocate(std::size_t size, std::size_t alignment) {
    if (ShouldFail()) {
        return nullptr;
    }
    if (size == 0) {
        size = 1; // a distinct pointer even for nothing
    }
    if (alignment <= alignof(std::max_align_t)) {
        return std::malloc(size);
    }
    // aligned_alloc wants a multiple of the alignment.
    const std::size_t rounded = (size + alignment - 1) / alignment * alignment;
#ifdef _WIN32
    return _aligned_malloc(rounded, alignment);
#else
    return std::aligned_alloc(alignment, rounded);
#endif
}

void Release(void* pointer, std::size_t alignment) {
    if (pointer == nullptr) {
        return;
    }
#ifdef _WIN32
    if (alignment > alignof(std::max_align_t)) {
        _aligned_free(pointer);
        return;
    }
#else
    (void)alignment;
#endif
    std::free(pointer);
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment) {
    void* pointer = Allocate(size, alignment);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    return pointer;
}

constexpr std::size_t Plain = alignof(std::max_align_t);

} // namespace

namespace zektest {

void ArmAllocationFailure(std::size_t failAt, bool sticky) {
    state.count = 0;
    state.failed = false;
    state.failAt = failAt;
    state.sticky = sticky;
    state.armed = true;
}

std::size_t DisarmAllocationFailure() {
    state.armed = false;
    return state.count;
}

std::size_t AllocationsSinceArmed() {
    return state.armed ? state.count : 0;
}

bool AllocationFailureHappened() {
    return state.failed;
}

AllocationFailurePause::AllocationFailurePause() : wasArmed(state.armed) {
    state.armed = false;
}

AllocationFailurePause::~AllocationFailurePause() {
    state.armed = wasArmed;
}

} // namespace zektest

// The replaceable allocation functions, every form the language declares.
void* operator new(std::size_t size) {
    return AllocateOrThrow(size, Plain);
}
void* operator new[](std::size_t size) {
    return AllocateOrThrow(size, Plain);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, Plain);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, Plain);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return AllocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return AllocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* pointer) noexcept {
    Release(pointer, Plain);
}
void operator delete[](void* pointer) noexcept {
    Release(pointer, Plain);
}
void operator delete(void* pointer, std::size_t) noexcept {
    Release(pointer, Plain);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    Release(pointer, Plain);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
    Release(pointer, Plain);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
    Release(pointer, Plain);
}
void operator delete(void* pointer, std::align_val_t alignment) noexcept {
    Release(pointer, static_cast<std::size_t>(alignment));
}
void operator delete[](void* pointer, std::align_val_t alignment) noexcept {
    Release(pointer, static_cast<std::size_t>(alignment));
}
void operator delete(void* pointer, std::size_t, std::align_val_t alignment) noexcept {
    Release(pointer, static_cast<std::size_t>(alignment));
}
void operator delete[](void* pointer, std::size_t, std::align_val_t alignment) noexcept {
    Release(pointer, static_cast<std::size_t>(alignment));
}
void operator delete(void* pointer, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    Release(pointer, static_cast<std::size_t>(alignment));
}
void operator delete[](void* pointer, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    Release(pointer, static_cast<std::size_t>(alignment));
}
