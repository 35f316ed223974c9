#include "standin/TaskBlocks.h"
#include "standin/TaskMemory.h"

#include <cstdlib>

namespace standin {

const ForeignBlocks TaskMemoryForeignBlocks = ForeignBlocks::None;

void* TaskAlloc(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        return nullptr;
    }
    if (!TheTaskBlocks().Allocated(block)) {
        std::free(block);
        return nullptr;
    }
    return block;
}

void TaskFree(void* block) {
    if (block != nullptr && TheTaskBlocks().Freeing(block)) {
        std::free(block);
    }
}

} // namespace standin
