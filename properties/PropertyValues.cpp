// Reading a property of an open store as text, and writing one from text.
#include "properties/PropertyValues.h"

#include "properties/PropertyKeys.h"
#include "propstore/PropertyStoreRecord.h"
#include "propstore/PropertySystemApi.h"
#include "status/NativeErrorTranslation.h"

namespace zekextender {

StatusCode FormatValueForDisplay(const PROPERTYKEY& key, const PROPVARIANT& value,
                                 DWORD formatFlags, TaskText& text) {
    text.reset();
    if (!PropertySystem.IsLoaded()) {
        return StatusLibraryLoadFailed;
    }
    const HRESULT hr = PropertySystem.PSFormatForDisplayAlloc(
        key, value, static_cast<PROPDESC_FORMAT_FLAGS>(formatFlags), text.put());
    if (FAILED(hr)) {
        text.reset(); // whatever a failing call handed out
        return hr == E_INVALIDARG ? StatusNotStringConvertible
                                  : StatusFromHResult(static_cast<std::uint32_t>(hr));
    }
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
