#include "propstore/StoreRegistry.h"

namespace zekextender {

std::uint32_t StoreRegistry::AllocateStoreHandle() const {
    if (!gaps.empty()) {
        return *gaps.begin();
    }
    return stores.empty() ? 1 : stores.rbegin()->first + 1; // 0 once the range is used up
}

void StoreRegistry::Insert(std::uint32_t handle, std::unique_ptr<PropertyStoreRecord> record) {
    // The entry first: should it fail, the handle is still free and nothing has changed.
    stores[handle] = std::move(record);
    gaps.erase(handle);
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
    // Below the highest handle the freed one becomes a gap. That is the one step that needs
    // memory, so it comes first: should it fail, the store is still open under its handle.
    if (handle < stores.rbegin()->first) {
        gaps.insert(handle);
    }
    stores.erase(found); // releases the store; cannot fail
    if (stores.empty()) {
        gaps.clear();
        return;
    }
    // Gaps above the highest handle in use are not gaps any more.
    gaps.erase(gaps.upper_bound(stores.rbegin()->first), gaps.end());
}

void StoreRegistry::Clear() {
    for (auto& entry : stores) {
        entry.second.reset();
    }
    stores.clear();
    gaps.clear();
}

} // namespace zekextender
