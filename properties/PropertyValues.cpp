// Reading a property of an open store as text, and writing one from text.
#include "properties/PropertyValues.h"

#include "properties/PropertyKeys.h"
#include "propstore/PropertyStoreRecord.h"
#include "propstore/PropertySystemApi.h"
#include "status/NativeErrorTranslation.h"

namespace zekextender {

StatusCode FormatValueForDisplay(const PROPERTYKEY& key, const PROPVARIANT& value,
                                 DWORD formatFlags, WString& text) {
    text.clear();
    if (!PropertySystem.IsLoaded()) {
        return StatusLibraryLoadFailed;
    }
    TaskText display;
    const HRESULT hr = PropertySystem.PSFormatForDisplayAlloc(
        key, value, static_cast<PROPDESC_FORMAT_FLAGS>(formatFlags), display.put());
    if (hr == E_INVALIDARG) {
        return StatusNotStringConvertible;
    }
    if (FAILED(hr)) {
        return StatusFromHResult(static_cast<std::uint32_t>(hr));
    }
    text = display.str();
    return StatusSuccess;
}

StatusCode PropertyStoreRecord::GetValueText(const WString& name, DWORD formatFlags,
                                             WString& text) const {
    text.clear();
    const StatusCode usable = CheckUsable();
    if (usable != StatusSuccess) {
        return usable;
    }
    if (name.empty()) {
        return StatusInvalidParameter;
    }
    // Only what the store held when it was opened: the store itself is not asked.
    if (propertyNames.find(name) == propertyNames.end()) {
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
