#include "propstore/StoreRegistry.h"

namespace zekextender {

std::uint32_t StoreRegistry::AllocateStoreHandle() const {
    if (!gaps.empty()) {
        return *gaps.begin();
    }
    return stores.empty() ? 1 : stores.rbegin()->first + 1; // 0 once the range is used up
}

void StoreRegistry::Insert(std::uint32_t handle, std::unique_ptr<PropertyStoreRecord> record) {
    gaps.erase(handle);
    stores[handle] = std::move(record);
}

PropertyStoreRecord* StoreRegistry::FindStore(std::uint32_t handle) const {
    const auto found = stores.find(handle);
    return found != stores.end() ? found->second.get() : nullptr;
}

void StoreRegistry::Remove(std::uint32_t handle) {
    const auto found = stores.find(handle);
    if (found == stores.end()) {
        return;
    }
    stores.erase(found);
    if (stores.empty()) {
        gaps.clear();
        return;
    }
    const std::uint32_t highest = stores.rbegin()->first;
    if (handle < highest) {
        gaps.insert(handle);
    }
    // Gaps above the highest handle in use are not gaps any more.
    gaps.erase(gaps.upper_bound(highest), gaps.end());
}

void StoreRegistry::Clear() {
    for (auto& entry : stores) {
        entry.second.reset();
    }
    stores.clear();
    gaps.clear();
}

} // namespace zekextender
