#include "propstore/PropertyStoreRecord.h"

#include "properties/PropertyKeys.h"
#include "properties/PropertyValues.h"
#include "properties/binding/PropertySystemApi.h"
#include "status/NativeErrorTranslation.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace zekextender {

namespace {

StatusCode FromHResult(HRESULT hr) {
    return StatusFromHResult(static_cast<std::uint32_t>(hr));
}

} // namespace

StatusCode OpenPropertyStore(const WString& fileSpec, ComPtr<IPropertyStore>& store, DWORD flags) {
    if (!PropertySystem.IsLoaded()) {
        return StatusLibraryLoadFailed;
    }
    if (fileSpec.empty() || store) {
        return StatusInvalidParameter;
    }
    const HRESULT hr = PropertySystem.SHGetPropertyStoreFromParsingName(
        fileSpec.c_str(), nullptr, static_cast<GETPROPERTYSTOREFLAGS>(flags),
        PropertyStoreInterfaceId, store.put_void());
    if (FAILED(hr)) {
        store.reset(); // whatever a failing call may have left
        return FromHResult(hr);
    }
    return StatusSuccess;
}

StatusCode BuildPropertyNameSet(IPropertyStore* store, PropertyNameSet& names) {
    names.reset();
    if (!PropertySystem.IsLoaded()) {
        return StatusLibraryLoadFailed;
    }
    if (store == nullptr) {
        return StatusCannotService;
    }
    DWORD count = 0;
    HRESULT hr = store->GetCount(&count);
    if (FAILED(hr)) {
        return FromHResult(hr);
    }
    std::vector<WString> found;
    for (DWORD index = 0; index < count; ++index) {
        PROPERTYKEY key{};
        hr = store->GetAt(index, &key);
        if (FAILED(hr)) {
            return FromHResult(hr);
        }
        // Whatever keeps a key from having a name, the property is not listed.
        WString name;
        PropertyNameFromKey(key, name);
        if (!name.empty()) {
            found.push_back(std::move(name));
        }
    }
    names = PropertyNameList::Make(std::move(found)); // sorted, each name once
    return StatusSuccess;
}

void PropertyStoreRecord::Reset() {
    fileSpec.clear();
    dirty = false;
    flags = 0;
    propertyNames.reset();
    store.reset();
}

StatusCode PropertyStoreRecord::Open(const WString& parsingName, DWORD openFlags) {
    // The store and its names are gathered aside and taken over only when both are complete,
    // so a failure at any step, running out of memory included, leaves the record not open.
    try {
        WString spec = parsingName; // before Reset: the name may be the record's own
        Reset();                    // the old store goes before the new one is asked for
        ComPtr<IPropertyStore> opened;
        PropertyNameSet names;
        StatusCode status = OpenPropertyStore(spec, opened, openFlags);
        if (status == StatusSuccess) {
            status = BuildPropertyNameSet(opened.get(), names);
        }
        if (status != StatusSuccess) {
            return status;
        }
        fileSpec.swap(spec);
        propertyNames.swap(names);
        store = std::move(opened);
        flags = openFlags;
        return StatusSuccess;
    } catch (const std::bad_alloc&) {
        Reset();
        return StatusOutOfMemory;
    }
}

StatusCode PropertyStoreRecord::CheckUsable() const {
    if (!PropertySystem.IsLoaded()) {
        return StatusLibraryLoadFailed;
    }
    return store ? StatusSuccess : StatusCannotService;
}

StatusCode PropertyStoreRecord::CheckWritable() const {
    const StatusCode status = CheckUsable();
    if (status != StatusSuccess) {
        return status;
    }
    return IsReadOnly() ? StatusAccessDenied : StatusSuccess;
}

StatusCode PropertyStoreRecord::Commit() {
    // A read-only store fails here even when nothing was written.
    const StatusCode status = CheckWritable();
    if (status != StatusSuccess) {
        return status;
    }
    if (!dirty) {
        return StatusSuccess;
    }
    const HRESULT hr = store->Commit();
    if (FAILED(hr)) {
        Reset();
        return FromHResult(hr);
    }
    return Open(fileSpec, flags); // a failed reopen leaves the record reset
}

StatusCode PropertyStoreRecord::CopyPropertyNames(PropertyNameSet& names) const {
    names = propertyNames;
    return StatusSuccess;
}

StatusCode PropertyStoreRecord::GetValueText(const WCHAR* name, DWORD formatFlags,
                                             TaskText& text) const {
    text.reset();
    const StatusCode usable = CheckUsable();
    if (usable != StatusSuccess) {
        return usable;
    }
    if (name == nullptr || name[0] == 0) {
        return StatusInvalidParameter;
    }
    // Only what the store held when it was opened: the store itself is not asked.
    if (!propertyNames || !propertyNames->Contains(name)) {
        return StatusPropertyNotInStore;
    }
    PropVariantValue value;
    PROPERTYKEY key;
    StatusCode status = PropertyKeyFromName(name, key);
    if (status != StatusSuccess) {
        return status;
    }
    const HRESULT hr = store->GetValue(key, value.put());
    if (FAILED(hr)) {
        return StatusFromHResult(static_cast<std::uint32_t>(hr));
    }
    return FormatValueForDisplay(key, value.get(), formatFlags, text);
}

StatusCode PropertyStoreRecord::SetValueText(const WString& name, const WString& text) {
    // The read-only test comes before the name test.
    StatusCode status = CheckWritable();
    if (status != StatusSuccess) {
        return status;
    }
    if (name.empty()) {
        return StatusInvalidParameter;
    }
    PROPERTYKEY key;
    status = PropertyKeyFromName(name, key);
    if (status != StatusSuccess) {
        return status;
    }
    // Borrows the caller's text for the call: nothing to clear afterwards.
    PROPVARIANT value;
    std::memset(&value, 0, sizeof value);
    if (!text.empty()) {
        value.vt = VT_LPWSTR;
        value.pwszVal = const_cast<WCHAR*>(text.c_str());
    }
    const HRESULT hr = store->SetValue(key, value);
    if (FAILED(hr)) {
        return StatusFromHResult(static_cast<std::uint32_t>(hr));
    }
    dirty = true; // success codes such as INPLACE_S_TRUNCATED count as written
    return StatusSuccess;
}

} // namespace zekextender
