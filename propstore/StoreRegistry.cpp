#include "propstore/StoreRegistry.h"

#include <algorithm>
#include <functional>

namespace zekextender {

namespace {
constexpr std::uint32_t LastHandle = 0xFFFFFFFF;
} // namespace

std::uint32_t StoreRegistry::AllocateStoreHandle() const {
    if (!freeSlots.empty()) {
        return freeSlots.front();
    }
    // 0 once the range is used up
    return slots.size() < LastHandle ? static_cast<std::uint32_t>(slots.size() + 1) : 0;
}

void StoreRegistry::Insert(std::uint32_t handle, std::unique_ptr<PropertyStoreRecord> record) {
    // Only a growing table can fail, and it fails before anything has changed.
    if (!freeSlots.empty() && handle == freeSlots.front()) {
        std::pop_heap(freeSlots.begin(), freeSlots.end(), std::greater<std::uint32_t>());
        freeSlots.pop_back();
        slots[handle - 1] = std::move(record);
    } else if (handle == slots.size() + 1) {
        slots.push_back(std::move(record));
    }
}

void StoreRegistry::Remove(std::uint32_t handle) {
    PropertyStoreRecord* record = FindStore(handle);
    if (record == nullptr) {
        return;
    }
    // The one step that needs memory comes first: should it fail, the store stays open.
    freeSlots.push_back(handle);
    std::push_heap(freeSlots.begin(), freeSlots.end(), std::greater<std::uint32_t>());
    slots[handle - 1].reset();
    if (size() == 0) {
        Clear(); // the last store closed: the tables go back to the system
    }
}

void StoreRegistry::Clear() {
    for (auto& slot : slots) {
        slot.reset();
    }
    std::vector<std::unique_ptr<PropertyStoreRecord>>().swap(slots);
    std::vector<std::uint32_t>().swap(freeSlots);
}

void StoreRegistry::Abandon() {
    for (auto& slot : slots) {
        static_cast<void>(slot.release());
    }
    Clear();
}

} // namespace zekextender
