// The open property stores of the scripts, by handle. A new store gets the smallest positive
// handle not in use; handles of closed stores are reused, lowest first. Every operation costs
// O(log n) in the number of stores, however many a script holds open.
#pragma once

#include "propstore/PropertyStoreRecord.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>

namespace zekextender {

class StoreRegistry {
public:
    // The handle the next Insert should use; 0 when every handle is taken.
    std::uint32_t AllocateStoreHandle() const;
    // Registers an open store under the handle AllocateStoreHandle gave. Should memory run
    // out it throws std::bad_alloc, the record is destroyed and the registry is unchanged.
    void Insert(std::uint32_t handle, std::unique_ptr<PropertyStoreRecord> record);
    // The record registered under a handle, or null.
    PropertyStoreRecord* FindStore(std::uint32_t handle) const;
    // Closes a store (nothing is committed) and frees its handle. Should memory run out it
    // throws std::bad_alloc and the store stays open under its handle.
    void Remove(std::uint32_t handle);
    // Closes every store, in ascending handle order.
    void Clear();

    std::size_t size() const { return stores.size(); }

private:
    std::map<std::uint32_t, std::unique_ptr<PropertyStoreRecord>> stores;
    std::set<std::uint32_t> gaps; // free handles below the highest in use
};

} // namespace zekextender
