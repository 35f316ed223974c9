// The canonical names a store held when it was opened: sorted by UTF-16 code unit
// (case-sensitive, a prefix before the longer name), each once, packed into one block and never
// changed. Stores and listings share a list by reference, so a listing copies nothing.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace zekextender {

class PropertyNameList {
public:
    // A list of the names, sorted and without duplicates; null when names is empty. Throws
    // std::bad_alloc when memory runs out.
    static std::shared_ptr<const PropertyNameList> Make(std::vector<WString> names);

    std::size_t size() const { return count_; }
    // Name i, zero-terminated, in list order.
    const WCHAR* operator[](std::size_t i) const { return Units() + Offsets()[i]; }
    // Whether the list holds the zero-terminated name (exact, code unit by code unit).
    bool Contains(const WCHAR* name) const;

    PropertyNameList(const PropertyNameList&) = delete;
    PropertyNameList& operator=(const PropertyNameList&) = delete;
    ~PropertyNameList() = default;

    // The names' storage follows the object in the same block.
    static void operator delete(void* block) { ::operator delete(block); }

private:
    PropertyNameList(std::uint32_t count, std::uint32_t commonPrefix)
        : count_(count), commonPrefix_(commonPrefix) {}

    const std::uint32_t* Offsets() const {
        return reinterpret_cast<const std::uint32_t*>(this + 1);
    }
    const WCHAR* Units() const { return reinterpret_cast<const WCHAR*>(Offsets() + count_); }

    std::uint32_t count_;
    // The length of the prefix all names share ("System." as a rule): a name is looked for
    // after it, so that no comparison of the search goes over it again.
    std::uint32_t commonPrefix_;
};

// A store's set of canonical names: null when there are none. Shared, never changed, so a copy
// takes a reference, not the names.
using PropertyNameSet = std::shared_ptr<const PropertyNameList>;

// Ordinal comparison of two zero-terminated names: negative, 0 or positive. Inline: the
// search of a store's names makes several on every read of a value.
inline int CompareNames(const WCHAR* left, const WCHAR* right) {
    while (*left != 0 && *left == *right) {
        ++left;
        ++right;
    }
    // char16_t compares as unsigned; the terminator sorts a prefix first.
    return *left < *right ? -1 : (*left > *right ? 1 : 0);
}

} // namespace zekextender
