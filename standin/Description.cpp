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

// The published IPropertyDescription slots, in order. The SDK's declaration needs types that
// exist only on Windows; the slots this library does not serve take any arguments alike.
struct DescriptionSlots : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPropertyKey(PROPERTYKEY* key) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCanonicalName(LPWSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPropertyType(VARTYPE* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayName(LPWSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEditInvitation(LPWSTR* invitation) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeFlags(DWORD mask, DWORD* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetViewFlags(DWORD* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDefaultColumnWidth(UINT* width) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayType(DWORD* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetColumnState(DWORD* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetGroupingRange(DWORD* range) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRelativeDescriptionType(DWORD* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRelativeDescription(REFPROPVARIANT, REFPROPVARIANT,
                                                             LPWSTR*, LPWSTR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSortDescription(DWORD* description) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSortDescriptionLabel(BOOL descending, LPWSTR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAggregationType(DWORD* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetConditionType(DWORD* type, DWORD* operation) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnumTypeList(REFIID riid, void** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE CoerceToCanonicalValue(PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE FormatForDisplay(REFPROPVARIANT value, DWORD flags,
                                                       LPWSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsValueCanonical(REFPROPVARIANT value) = 0;

protected:
    ~DescriptionSlots() = default;
};

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

class DescriptionObject final : public CountedObject<DescriptionObject, DescriptionSlots> {
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
    HRESULT STDMETHODCALLTYPE GetTypeFlags(DWORD, DWORD* flags) override {
        return NotServed(flags);
    }
    HRESULT STDMETHODCALLTYPE GetViewFlags(DWORD* flags) override { return NotServed(flags); }
    HRESULT STDMETHODCALLTYPE GetDefaultColumnWidth(UINT* width) override {
        return NotServed(width);
    }
    HRESULT STDMETHODCALLTYPE GetDisplayType(DWORD* type) override { return NotServed(type); }
    HRESULT STDMETHODCALLTYPE GetColumnState(DWORD* flags) override { return NotServed(flags); }
    HRESULT STDMETHODCALLTYPE GetGroupingRange(DWORD* range) override { return NotServed(range); }
    HRESULT STDMETHODCALLTYPE GetRelativeDescriptionType(DWORD* type) override {
        return NotServed(type);
    }
    HRESULT STDMETHODCALLTYPE GetRelativeDescription(REFPROPVARIANT, REFPROPVARIANT, LPWSTR* first,
                                                     LPWSTR* second) override {
        NotServed(first);
        return NotServed(second);
    }
    HRESULT STDMETHODCALLTYPE GetSortDescription(DWORD* description) override {
        return NotServed(description);
    }
    HRESULT STDMETHODCALLTYPE GetSortDescriptionLabel(BOOL, LPWSTR* label) override {
        return NotServed(label);
    }
    HRESULT STDMETHODCALLTYPE GetAggregationType(DWORD* type) override { return NotServed(type); }
    HRESULT STDMETHODCALLTYPE GetConditionType(DWORD* type, DWORD* operation) override {
        NotServed(type);
        return NotServed(operation);
    }
    HRESULT STDMETHODCALLTYPE GetEnumTypeList(REFIID, void** object) override {
        return NotServed(object);
    }
    HRESULT STDMETHODCALLTYPE CoerceToCanonicalValue(PROPVARIANT* value) override {
        return Guarded([&] { return Coerce(value); });
    }
    HRESULT STDMETHODCALLTYPE FormatForDisplay(REFPROPVARIANT value, DWORD flags,
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
        Value given;
        Value coerced;
        if (FAILED(FromVariant(*variant, given)) || FAILED(CoerceToType(type_, given, coerced))) {
            return E_INVALIDARG;
        }
        PROPVARIANT fresh;
        const HRESULT result = ToVariant(coerced, &fresh);
        if (FAILED(result)) {
            return result;
        }
        ClearVariant(variant);
        *variant = fresh;
        return S_OK;
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
    *object = static_cast<DescriptionSlots*>(description);
    return S_OK;
}

} // namespace standin
