#include "propstore/PropertyNameList.h"

#include <algorithm>
#include <new>

namespace zekextender {

std::shared_ptr<const PropertyNameList> PropertyNameList::Make(std::vector<WString> names) {
    if (names.empty()) {
        return nullptr;
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::size_t units = 0;
    for (const WString& name : names) {
        units += name.size() + 1;
    }
    const std::size_t bytes =
        sizeof(PropertyNameList) + names.size() * sizeof(std::uint32_t) + units * sizeof(WCHAR);
    // Sorted, the first and the last name share what all share.
    const WString& first = names.front();
    const WString& last = names.back();
    std::size_t commonPrefix = 0;
    while (commonPrefix < first.size() && commonPrefix < last.size() &&
           first[commonPrefix] == last[commonPrefix]) {
        ++commonPrefix;
    }
    void* block = ::operator new(bytes);
    auto* list = new (block) PropertyNameList(static_cast<std::uint32_t>(names.size()),
                                              static_cast<std::uint32_t>(commonPrefix));
    auto* offsets = reinterpret_cast<std::uint32_t*>(list + 1);
    auto* text = reinterpret_cast<WCHAR*>(offsets + names.size());
    std::uint32_t next = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        offsets[i] = next;
        std::copy(names[i].begin(), names[i].end(), text + next);
        next += static_cast<std::uint32_t>(names[i].size());
        text[next++] = 0;
    }
    // The shared pointer's own record may fail to allocate: it then deletes the list.
    return std::shared_ptr<const PropertyNameList>(list);
}

bool PropertyNameList::Contains(const WCHAR* name) const {
    // A shorter name stops at its terminator, which no prefix unit equals.
    const WCHAR* const prefix = (*this)[0];
    for (std::uint32_t i = 0; i < commonPrefix_; ++i) {
        if (name[i] != prefix[i]) {
            return false;
        }
    }
    const WCHAR* const rest = name + commonPrefix_;
    std::size_t low = 0;
    std::size_t high = count_;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const int order = CompareNames((*this)[middle] + commonPrefix_, rest);
        if (order == 0) {
            return true;
        }
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return false;
}

} // namespace zekextender
