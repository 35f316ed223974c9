// The accounting of the task memory the stand-in hands out, the same on every platform: which
// blocks are live, and how many frees found a block that was not. TaskMemoryPosix.cpp and
// TaskMemoryWin32.cpp allocate and free; they tell this record what happened.
#pragma once

#include <cstdint>
#include <mutex>
#include <unordered_set>

namespace standin {

// Whether the allocator the stand-in answers for also serves others.
enum class ForeignBlocks {
    // Off Windows the stand-in is the process's task allocator: a free of any block that is
    // not live is a bad free.
    None,
    // On Windows the system's allocator serves everyone: only a block of ours freed before is
    // a bad free, so freed addresses are remembered until the allocator hands them out again.
    Possible,
};

// What this platform's allocator is: defined beside it, in TaskMemoryPosix.cpp or
// TaskMemoryWin32.cpp.
extern const ForeignBlocks TaskMemoryForeignBlocks;

// Every member takes the record's own lock; none is held while the allocator is called.
class TaskBlocks {
public:
    explicit TaskBlocks(ForeignBlocks foreign) : foreign_(foreign) {}

    // A block just handed out is ours and live. False when it cannot be recorded (out of
    // memory): the caller frees it again and fails the allocation.
    bool Allocated(void* block);
    // A free of block: true when the block may really be freed. A live block may; a block that
    // is not live is counted as a bad free and must be left alone, unless foreign blocks are
    // possible and it is not one of ours freed before.
    bool Freeing(void* block);
    // The allocator handed out an address, for anyone: whatever was freed there before is gone.
    void AddressReused(void* block);
    // A reallocation of block begins: true when it was ours, which it no longer is.
    bool ReallocationOf(void* block);
    // A reallocation ended at block; it is ours and live when the old block was.
    void Reallocated(void* block, bool ours);

    std::int64_t Live();
    std::int64_t BadFrees();
    void ForgetBadFrees();

private:
    const ForeignBlocks foreign_;
    std::mutex lock_;
    std::unordered_set<void*> live_;
    std::unordered_set<void*> freed_; // ours, freed, address not handed out since (Possible)
    std::int64_t badFrees_ = 0;
};

// The record of the process. Never destroyed: blocks may be freed by other libraries' static
// destructors at exit.
TaskBlocks& TheTaskBlocks();

} // namespace standin
