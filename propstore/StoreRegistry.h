// The open property stores of the scripts, by handle. A new store gets the smallest positive
// handle not in use; handles of closed stores are reused, lowest first.
//
// Handle h lives in slot h - 1 of a table that only grows, so finding a store is one index
// whatever the number open. The free slots below the end of the table wait in a min-heap:
// the smallest is at its top, and each open or close costs O(log of the number free).
#pragma once

#include "propstore/PropertyStoreRecord.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zekextender {

class StoreRegistry {
public:
    // The handle the next Insert should use; 0 when every handle is taken.
    std::uint32_t AllocateStoreHandle() const;
    // Registers an open store under the handle AllocateStoreHandle gave. Should memory run
    // out it throws std::bad_alloc, the record is destroyed and the registry is unchanged.
    void Insert(std::uint32_t handle, std::unique_ptr<PropertyStoreRecord> record);
    // The record registered under a handle, or null.
    PropertyStoreRecord* FindStore(std::uint32_t handle) const {
        const std::size_t slot = static_cast<std::size_t>(handle) - 1; // 0 wraps to the top
        return slot < slots.size() ? slots[slot].get() : nullptr;
    }
    // Closes a store (nothing is committed) and frees its handle. Should memory run out it
    // throws std::bad_alloc and the store stays open under its handle.
    void Remove(std::uint32_t handle);
    // Closes every store, in ascending handle order.
    void Clear();
    // Forgets every store without closing it: for the end of the process, when what a store
    // would call may be gone and the system reclaims everything.
    void Abandon();

    std::size_t size() const { return slots.size() - freeSlots.size(); }

private:
    std::vector<std::unique_ptr<PropertyStoreRecord>> slots; // slot i: handle i + 1, or empty
    std::vector<std::uint32_t> freeSlots; // min-heap of the handles of the empty slots
};

} // namespace zekextender
