// One open property store of a script: its parsing name, flags, the canonical names it held
// when it was opened, whether anything was written since, and the store itself.
#pragma once

#include "platform/platform.h"
#include "properties/binding/OwnedResources.h"
#include "propstore/PropertyNameList.h"
#include "properties/binding/PropertySystemApi.h"
#include "status/StatusCode.h"

namespace zekextender {

class PropertyStoreRecord {
public:
    PropertyStoreRecord() { Reset(); }
    ~PropertyStoreRecord() { Reset(); } // nothing is committed
    PropertyStoreRecord(const PropertyStoreRecord&) = delete;
    PropertyStoreRecord& operator=(const PropertyStoreRecord&) = delete;

    // Back to "not open": no store, no names, clean.
    void Reset();
    // Opens the store of a parsing name with GETPROPERTYSTOREFLAGS and gathers its names.
    // On failure the record is left not open.
    StatusCode Open(const WString& fileSpec, DWORD flags);
    // Writes pending changes and reopens the store. A failed commit or reopen leaves the
    // record not open.
    StatusCode Commit();

    bool IsValid() const { return PropertySystem.IsLoaded() && store; }
    bool IsDirty() const { return dirty; }
    bool IsReadOnly() const { return (flags & GPS_READWRITE) == 0; }
    DWORD GetFlags() const { return flags; }
    const WString& GetFileSpec() const { return fileSpec; }

    // A copy of the names the store held when it was (re)opened; always 0. The set never
    // changes, so the copy shares the record's: no name is copied.
    StatusCode CopyPropertyNames(PropertyNameSet& names) const;
    // A listed property's value as display text under PROPDESC_FORMAT_FLAGS: the property
    // system's own text, handed on as it is (a null text reads as empty).
    StatusCode GetValueText(const WCHAR* name, DWORD formatFlags, TaskText& text) const;
    // Writes a property from text (empty text clears it) and marks the record dirty.
    StatusCode SetValueText(const WString& name, const WString& value);

private:
    // 95 when the property system is not bound, 13 when the record holds no store, else 0.
    StatusCode CheckUsable() const;
    // CheckUsable, then 44 for a store opened without GPS_READWRITE.
    StatusCode CheckWritable() const;

    WString fileSpec;
    bool dirty = false;
    DWORD flags = 0;
    PropertyNameSet propertyNames;
    ComPtr<IPropertyStore> store;
};

// The property store of a parsing name. 95 when unbound, 9 for an empty name or a slot that
// already holds a store, else the status of the property system's answer.
StatusCode OpenPropertyStore(const WString& fileSpec, ComPtr<IPropertyStore>& store, DWORD flags);

// The canonical names of a store's properties; keys without a name are left out.
StatusCode BuildPropertyNameSet(IPropertyStore* store, PropertyNameSet& names);

} // namespace zekextender
