#include "standin/TaskMemory.h"

#include <cstdlib>
#include <mutex>
#include <unordered_set>

namespace standin {
namespace {

struct Blocks {
    std::mutex lock;
    std::unordered_set<void*> live;
    std::int64_t badFrees = 0;
};

// Never destroyed: blocks may be freed by other libraries' static destructors at exit.
Blocks& TheBlocks() {
    static Blocks* blocks = new Blocks;
    return *blocks;
}

} // namespace

void* TaskAlloc(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        return nullptr;
    }
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    try {
        blocks.live.insert(block);
    } catch (...) {
        std::free(block);
        return nullptr;
    }
    return block;
}

void TaskFree(void* block) {
    if (block == nullptr) {
        return;
    }
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    if (blocks.live.erase(block) == 0) {
        ++blocks.badFrees; // freed twice, or never ours: leave it alone
        return;
    }
    std::free(block);
}

std::int64_t LiveAllocations() {
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    return static_cast<std::int64_t>(blocks.live.size());
}

std::int64_t BadFrees() {
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    return blocks.badFrees;
}

void ForgetBadFrees() {
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    blocks.badFrees = 0;
}

} // namespace standin
