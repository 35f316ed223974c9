// The item model: what a store holds (keys with values, in order), and the items that tests
// declare under parsing names, which answer before real files.
#pragma once

#include "standin/Value.h"

#include <vector>

namespace standin {

struct Entry {
    PROPERTYKEY key;
    Value value;
};

// One written value: the first entry with the key takes it (later ones with the same key go),
// or it is appended; an empty value removes every entry with the key.
void ApplyChange(std::vector<Entry>& entries, const Entry& change);

// Declaring a name again replaces the item, committed values included, and gives it back its
// handler: a declared item takes any write unless a test takes its handler away.
void DeclareItem(const WString& name, std::vector<Entry> entries);
// Exact match of the parsing name; null when no item is declared under it.
const std::vector<Entry>* FindItem(const WString& name);
// False when the item is no longer declared.
bool CommitToItem(const WString& name, const std::vector<Entry>& changes);
void ForgetItems();

// False when no item is declared under the name.
bool TakeHandlerAway(const WString& name);
bool ItemHasHandler(const WString& name);

} // namespace standin
