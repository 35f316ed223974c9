#include "standin/Description.h"

#include "standin/CountedObject.h"
#include "standin/Failures.h"
#include "standin/Format.h"
#include "standin/Guarded.h"
#include "standin/Keys.h"
#include "standin/TaskMemory.h"
#include "standin/ValueText.h"

#include <new>

namespace standin {
namespace {

// Hands out a task-allocated copy of text; null with E_POINTER or E_OUTOFMEMORY otherwise.
HRESULT GiveText(const WString& text, LPWSTR* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = TaskString(text);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

template <class T> HRESULT NotServed(T* out) {
    if (out != nullptr) {
        *out = T();
    }
    return E_NOTIMPL;
}

class DescriptionObject final : public CountedObject<DescriptionObject, IPropertyDescription> {
public:
    explicit DescriptionObject(const PropertyInfo& info)
        : name_(info.name), displayName_(info.displayName), key_(info.key), type_(info.type) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return Answer(riid, kIidPropertyDescription, object);
    }
    HRESULT STDMETHODCALLTYPE GetPropertyKey(PROPERTYKEY* key) override {
        if (key == nullptr) {
            return E_POINTER;
        }
        *key = key_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalName(LPWSTR* name) override {
        return Guarded([&] { return GiveText(name_, name); });
    }
    HRESULT STDMETHODCALLTYPE GetPropertyType(VARTYPE* type) override {
        if (type == nullptr) {
            return E_POINTER;
        }
        *type = type_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayName(LPWSTR* name) override {
        return Guarded([&] { return DisplayName(name); });
    }
    HRESULT STDMETHODCALLTYPE GetEditInvitation(LPWSTR* invitation) override {
        return NotServed(invitation);
    }
    HRESULT STDMETHODCALLTYPE GetTypeFlags(PROPDESC_TYPE_FLAGS,
                                           PROPDESC_TYPE_FLAGS* flags) override {
        return NotServed(flags);
    }
    HRESULT STDMETHODCALLTYPE GetViewFlags(PROPDESC_VIEW_FLAGS* flags) override {
        return NotServed(flags);
    }
    HRESULT STDMETHODCALLTYPE GetDefaultColumnWidth(UINT* width) override {
        return NotServed(width);
    }
    HRESULT STDMETHODCALLTYPE GetDisplayType(PROPDESC_DISPLAYTYPE* type) override {
        return NotServed(type);
    }
    HRESULT STDMETHODCALLTYPE GetColumnState(SHCOLSTATEF* flags) override {
        return NotServed(flags);
    }
    HRESULT STDMETHODCALLTYPE GetGroupingRange(PROPDESC_GROUPING_RANGE* range) override {
        return NotServed(range);
    }
    HRESULT STDMETHODCALLTYPE
    GetRelativeDescriptionType(PROPDESC_RELATIVEDESCRIPTION_TYPE* type) override {
        return NotServed(type);
    }
    HRESULT STDMETHODCALLTYPE GetRelativeDescription(REFPROPVARIANT, REFPROPVARIANT, LPWSTR* first,
                                                     LPWSTR* second) override {
        NotServed(first);
        return NotServed(second);
    }
    HRESULT STDMETHODCALLTYPE GetSortDescription(PROPDESC_SORTDESCRIPTION* description) override {
        return NotServed(description);
    }
    HRESULT STDMETHODCALLTYPE GetSortDescriptionLabel(BOOL, LPWSTR* label) override {
        return NotServed(label);
    }
    HRESULT STDMETHODCALLTYPE GetAggregationType(PROPDESC_AGGREGATION_TYPE* type) override {
        return NotServed(type);
    }
    HRESULT STDMETHODCALLTYPE GetConditionType(PROPDESC_CONDITION_TYPE* type,
                                               CONDITION_OPERATION* operation) override {
        NotServed(type);
        return NotServed(operation);
    }
    HRESULT STDMETHODCALLTYPE GetEnumTypeList(REFIID, void** object) override {
        return NotServed(object);
    }
    HRESULT STDMETHODCALLTYPE CoerceToCanonicalValue(PROPVARIANT* value) override {
        return Guarded([&] { return Coerce(value); });
    }
    HRESULT STDMETHODCALLTYPE FormatForDisplay(REFPROPVARIANT value, PROPDESC_FORMAT_FLAGS flags,
                                               LPWSTR* text) override {
        return Guarded([&] { return Format(value, flags, text); });
    }
    HRESULT STDMETHODCALLTYPE IsValueCanonical(REFPROPVARIANT value) override {
        return Guarded([&] {
            Value given;
            return SUCCEEDED(FromVariant(value, given)) &&
                           (given.IsEmpty() || type_ == VT_EMPTY || given.type == type_)
                       ? S_OK
                       : S_FALSE;
        });
    }

    void Discard() {
        name_ = {};
        displayName_ = {};
    }

private:
    HRESULT DisplayName(LPWSTR* name) {
        if (name == nullptr) {
            return E_POINTER;
        }
        *name = nullptr;
        const auto injected = InjectedForName(Point::GetDisplayName, name_);
        if (!injected || !injected->leaveNull) {
            const HRESULT given = GiveText(displayName_, name);
            if (FAILED(given)) {
                return given;
            }
        }
        return injected ? injected->result : S_OK;
    }

    HRESULT Coerce(PROPVARIANT* variant) {
        if (variant == nullptr) {
            return E_POINTER;
        }
        PropertyInfo info{};
        info.key = key_;
        info.type = type_;
        return CoerceVariant(info, variant);
    }

    HRESULT Format(REFPROPVARIANT value, DWORD flags, LPWSTR* text) {
        if (text == nullptr) {
            return E_POINTER;
        }
        *text = nullptr;
        WString formatted;
        const HRESULT result = FormatValue(key_, value, flags, formatted);
        if (FAILED(result)) {
            return result;
        }
        const HRESULT given = GiveText(formatted, text);
        return FAILED(given) ? given : result;
    }

    WString name_;
    WString displayName_;
    PROPERTYKEY key_;
    VARTYPE type_;
};

} // namespace

HRESULT NewDescription(const PropertyInfo& info, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (!SameGuid(riid, kIidPropertyDescription) && !SameGuid(riid, kIidUnknown)) {
        return E_NOINTERFACE;
    }
    auto* description = new (std::nothrow) DescriptionObject(info);
    if (description == nullptr) {
        return E_OUTOFMEMORY;
    }
    *object = static_cast<IPropertyDescription*>(description);
    return S_OK;
}

} // namespace standin
