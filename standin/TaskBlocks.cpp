#include "standin/TaskBlocks.h"

#include "standin/TaskMemory.h"

namespace standin {

bool TaskBlocks::Allocated(void* block) {
    std::lock_guard<std::mutex> guard(lock_);
    try {
        live_.insert(block);
    } catch (...) {
        return false;
    }
    if (foreign_ == ForeignBlocks::Possible) {
        freed_.erase(block);
    }
    return true;
}

bool TaskBlocks::Freeing(void* block) {
    std::lock_guard<std::mutex> guard(lock_);
    if (live_.erase(block) != 0) {
        if (foreign_ == ForeignBlocks::Possible) {
            try {
                freed_.insert(block);
            } catch (...) {
            }
        }
        return true;
    }
    if (foreign_ == ForeignBlocks::None || freed_.count(block) != 0) {
        ++badFrees_; // freed twice, or never ours: leave it alone
        return false;
    }
    return true; // someone else's block
}

void TaskBlocks::AddressReused(void* block) {
    std::lock_guard<std::mutex> guard(lock_);
    freed_.erase(block);
}

bool TaskBlocks::ReallocationOf(void* block) {
    std::lock_guard<std::mutex> guard(lock_);
    return live_.erase(block) != 0;
}

void TaskBlocks::Reallocated(void* block, bool ours) {
    std::lock_guard<std::mutex> guard(lock_);
    freed_.erase(block);
    if (ours) {
        try {
            live_.insert(block);
        } catch (...) {
        }
    }
}

std::int64_t TaskBlocks::Live() {
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<std::int64_t>(live_.size());
}

std::int64_t TaskBlocks::BadFrees() {
    std::lock_guard<std::mutex> guard(lock_);
    return badFrees_;
}

void TaskBlocks::ForgetBadFrees() {
    std::lock_guard<std::mutex> guard(lock_);
    badFrees_ = 0;
}

TaskBlocks& TheTaskBlocks() {
    static TaskBlocks* blocks = new TaskBlocks(TaskMemoryForeignBlocks);
    return *blocks;
}

std::int64_t LiveAllocations() {
    return TheTaskBlocks().Live();
}

std::int64_t BadFrees() {
    return TheTaskBlocks().BadFrees();
}

void ForgetBadFrees() {
    TheTaskBlocks().ForgetBadFrees();
}

} // namespace standin
