#include "standin/Items.h"

#include "standin/Keys.h"

#include <map>
#include <set>

namespace standin {
namespace {

std::map<WString, std::vector<Entry>>& Declared() {
    static std::map<WString, std::vector<Entry>> items;
    return items;
}

std::set<WString>& WithoutHandler() {
    static std::set<WString> names;
    return names;
}

} // namespace

void ApplyChange(std::vector<Entry>& entries, const Entry& change) {
    bool placed = false;
    std::vector<Entry> kept;
    kept.reserve(entries.size() + 1);
    for (Entry& entry : entries) {
        if (!SameKey(entry.key, change.key)) {
            kept.push_back(std::move(entry));
        } else if (!placed && !change.value.IsEmpty()) {
            kept.push_back(change);
            placed = true;
        }
    }
    if (!placed && !change.value.IsEmpty()) {
        kept.push_back(change);
    }
    entries.swap(kept);
}

void DeclareItem(const WString& name, std::vector<Entry> entries) {
    Declared()[name] = std::move(entries);
    WithoutHandler().erase(name);
}

const std::vector<Entry>* FindItem(const WString& name) {
    auto found = Declared().find(name);
    return found == Declared().end() ? nullptr : &found->second;
}

bool CommitToItem(const WString& name, const std::vector<Entry>& changes) {
    auto found = Declared().find(name);
    if (found == Declared().end()) {
        return false;
    }
    for (const Entry& change : changes) {
        ApplyChange(found->second, change);
    }
    return true;
}

void ForgetItems() {
    Declared().clear();
    WithoutHandler().clear();
}

bool TakeHandlerAway(const WString& name) {
    if (FindItem(name) == nullptr) {
        return false;
    }
    WithoutHandler().insert(name);
    return true;
}

bool ItemHasHandler(const WString& name) {
    return WithoutHandler().count(name) == 0;
}

} // namespace standin
