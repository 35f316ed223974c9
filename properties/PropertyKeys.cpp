#include "properties/PropertyKeys.h"

#include "properties/binding/OwnedResources.h"
#include "properties/binding/PropertySystemApi.h"
#include "status/NativeErrorTranslation.h"

#include <cstring>

namespace zekextender {

namespace {

// Identifiers 0 and 1 are reserved (dictionary and code page): never named.
constexpr DWORD FirstNameablePropertyId = 2;

} // namespace

StatusCode PropertyKeyFromName(const WString& name, PROPERTYKEY& key) {
    return PropertyKeyFromName(name.c_str(), key);
}

StatusCode PropertyKeyFromName(const WCHAR* name, PROPERTYKEY& key) {
    std::memset(&key, 0, sizeof key);
    if (!PropertySystem.IsLoaded()) {
        return StatusLibraryLoadFailed;
    }
    const HRESULT hr = PropertySystem.PSGetPropertyKeyFromName(name, &key);
    return FAILED(hr) ? StatusFromHResult(static_cast<std::uint32_t>(hr)) : StatusSuccess;
}

StatusCode PropertyNameFromKey(const PROPERTYKEY& key, WString& name) {
    name.clear();
    if (!PropertySystem.IsLoaded()) {
        return StatusLibraryLoadFailed;
    }
    if (key.pid < FirstNameablePropertyId) {
        return StatusSuccess;
    }
    TaskText text;
    const HRESULT hr = PropertySystem.PSGetNameFromPropertyKey(key, text.put());
    if (hr == TYPE_E_ELEMENTNOTFOUND) {
        return StatusSuccess; // the key has no registered name
    }
    if (FAILED(hr)) {
        return StatusFromHResult(static_cast<std::uint32_t>(hr));
    }
    name = text.str();
    return StatusSuccess;
}

StatusCode PropertyDisplayName(const WString& name, WString& displayName) {
    const WString canonicalName = name; // the output may be the same string
    displayName.clear();
    if (canonicalName.empty()) {
        return StatusInvalidParameter;
    }
    if (!PropertySystem.IsLoaded()) {
        return StatusLibraryLoadFailed;
    }
    ComPtr<IPropertyDescription> description;
    const HRESULT hr = PropertySystem.PSGetPropertyDescriptionByName(
        canonicalName.c_str(), PropertyDescriptionInterfaceId, description.put_void());
    if (FAILED(hr)) {
        return StatusFromHResult(static_cast<std::uint32_t>(hr));
    }
    // Whatever GetDisplayName reports, its text (or none) is the answer.
    TaskText text;
    if (description) {
        description->GetDisplayName(text.put());
    }
    displayName = text.str();
    return StatusSuccess;
}

} // namespace zekextender
