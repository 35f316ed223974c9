// Rendering a property value as display text.
#include "properties/PropertyValues.h"

#include "properties/binding/PropertySystemApi.h"
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

} // namespace zekextender
