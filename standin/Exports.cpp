// The property-system entry points and the control entry, with C linkage under their
// published names. Off Windows the linker's version script exports them; on Windows the
// module-definition files do.
#include "standin/Control.h"
#include "standin/Description.h"
#include "standin/Failures.h"
#include "standin/Format.h"
#include "standin/Guarded.h"
#include "standin/Schema.h"
#include "standin/Store.h"
#include "standin/TaskMemory.h"
#include "standin/Text.h"
#include "standin/ValueText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace standin {
namespace {

// Hands out text as a call that produces text does, under an injected result: the text unless
// the injection withholds it, and the injected result in place of the call's own.
HRESULT GiveText(const WString* text, HRESULT own, const std::optional<Injection>& injected,
                 LPWSTR* out) {
    if (text != nullptr && !(injected && injected->leaveNull)) {
        *out = TaskString(*text);
        if (*out == nullptr) {
            return E_OUTOFMEMORY;
        }
    }
    return injected ? injected->result : own;
}

} // namespace
} // namespace standin

using namespace standin;

extern "C" {

HRESULT PSFormatForDisplay(REFPROPERTYKEY key, REFPROPVARIANT value, PROPDESC_FORMAT_FLAGS flags,
                           LPWSTR text, DWORD capacity) {
    return Guarded([&]() -> HRESULT {
        if (text == nullptr || capacity == 0) {
            return E_INVALIDARG;
        }
        text[0] = 0;
        const auto injected = InjectedFor(Point::FormatForDisplay, nullptr, key);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        WString formatted;
        const HRESULT result = FormatValue(key, value, flags, formatted);
        if (FAILED(result)) {
            return result;
        }
        const std::size_t length = std::min<std::size_t>(formatted.size(), capacity - 1);
        std::memcpy(text, formatted.c_str(), length * sizeof(WCHAR));
        text[length] = 0;
        if (length < formatted.size()) {
            return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER); // truncated
        }
        return injected ? injected->result : result;
    });
}

HRESULT PSFormatForDisplayAlloc(REFPROPERTYKEY key, REFPROPVARIANT value,
                                PROPDESC_FORMAT_FLAGS flags, PWSTR* text) {
    return Guarded([&]() -> HRESULT {
        if (text == nullptr) {
            return E_POINTER;
        }
        *text = nullptr;
        WString formatted;
        const HRESULT result = FormatValue(key, value, flags, formatted);
        const auto injected = InjectedFor(Point::FormatForDisplayAlloc, nullptr, key);
        return GiveText(SUCCEEDED(result) ? &formatted : nullptr, result, injected, text);
    });
}

HRESULT PSFormatPropertyValue(IPropertyStore* store, IPropertyDescription* description,
                              PROPDESC_FORMAT_FLAGS flags, LPWSTR* text) {
    return Guarded([&]() -> HRESULT {
        if (text == nullptr) {
            return E_POINTER;
        }
        *text = nullptr;
        if (store == nullptr || description == nullptr) {
            return E_INVALIDARG;
        }
        const auto injected = Injected(Point::FormatPropertyValue);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        PROPERTYKEY key{};
        HRESULT result = description->GetPropertyKey(&key);
        if (FAILED(result)) {
            return result;
        }
        PROPVARIANT value;
        std::memset(&value, 0, sizeof value);
        result = store->GetValue(key, &value);
        if (FAILED(result)) {
            return result;
        }
        WString formatted;
        result = FormatValue(key, value, flags, formatted);
        ClearVariant(&value);
        return GiveText(SUCCEEDED(result) ? &formatted : nullptr, result, injected, text);
    });
}

HRESULT PSGetPropertyKeyFromName(PCWSTR name, PROPERTYKEY* key) {
    return Guarded([&]() -> HRESULT {
        if (key == nullptr) {
            return E_POINTER;
        }
        std::memset(key, 0, sizeof *key);
        if (name == nullptr) {
            return E_INVALIDARG;
        }
        const WString canonical(name);
        const auto injected = InjectedForName(Point::GetPropertyKeyFromName, canonical);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        const PropertyInfo* info = FindProperty(canonical);
        if (info == nullptr) {
            return TYPE_E_ELEMENTNOTFOUND;
        }
        *key = info->key;
        return injected ? injected->result : S_OK;
    });
}

HRESULT PSGetNameFromPropertyKey(REFPROPERTYKEY key, PWSTR* name) {
    return Guarded([&]() -> HRESULT {
        if (name == nullptr) {
            return E_POINTER;
        }
        *name = nullptr;
        const PropertyInfo* info = FindProperty(key);
        const WString canonical = info != nullptr ? WString(info->name) : WString();
        const auto injected = InjectedFor(Point::GetNameFromPropertyKey, nullptr, key);
        return GiveText(info != nullptr ? &canonical : nullptr,
                        info != nullptr ? S_OK : TYPE_E_ELEMENTNOTFOUND, injected, name);
    });
}

HRESULT PSCoerceToCanonicalValue(REFPROPERTYKEY key, PROPVARIANT* value) {
    return Guarded([&]() -> HRESULT {
        if (value == nullptr) {
            return E_POINTER;
        }
        const auto injected = InjectedFor(Point::CoerceToCanonicalValue, nullptr, key);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        const PropertyInfo* info = FindProperty(key);
        if (info == nullptr) {
            return TYPE_E_ELEMENTNOTFOUND;
        }
        const HRESULT result = CoerceVariant(*info, value);
        return FAILED(result) || !injected ? result : injected->result;
    });
}

HRESULT PSGetPropertyDescription(REFPROPERTYKEY key, REFIID riid, void** object) {
    return Guarded([&]() -> HRESULT {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        const auto injected = InjectedFor(Point::GetPropertyDescription, nullptr, key);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        const PropertyInfo* info = FindProperty(key);
        if (info == nullptr) {
            return TYPE_E_ELEMENTNOTFOUND;
        }
        const HRESULT result = NewDescription(*info, riid, object);
        return FAILED(result) || !injected ? result : injected->result;
    });
}

HRESULT PSGetPropertyDescriptionByName(PCWSTR name, REFIID riid, void** object) {
    return Guarded([&]() -> HRESULT {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (name == nullptr) {
            return E_INVALIDARG;
        }
        const WString canonical(name);
        const auto injected = InjectedForName(Point::GetPropertyDescriptionByName, canonical);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        const PropertyInfo* info = FindProperty(canonical);
        if (info == nullptr) {
            return TYPE_E_ELEMENTNOTFOUND;
        }
        const HRESULT result = NewDescription(*info, riid, object);
        return FAILED(result) || !injected ? result : injected->result;
    });
}

HRESULT PropVariantClear(PROPVARIANT* value) {
    return Guarded([&]() -> HRESULT {
        const auto injected = Injected(Point::PropVariantClear);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        const HRESULT result = ClearVariant(value);
        return FAILED(result) || !injected ? result : injected->result;
    });
}

// Opens a store; SHGetPropertyStoreFromParsingName of whichever module plays shell32.
HRESULT ZekStandinOpenStore(PCWSTR parsingName, IBindCtx*, GETPROPERTYSTOREFLAGS flags, REFIID riid,
                            void** object) {
    return Guarded([&] { return OpenStore(parsingName, flags, riid, object); });
}

std::int32_t ZekStandinControl(const char* command, char* reply, std::uint32_t replyCapacity) {
    std::string answer;
    bool done = false;
    try {
        done = command != nullptr && RunControlCommand(command, answer);
        if (command == nullptr) {
            answer = "no command";
        }
    } catch (...) {
        done = false;
        answer = "out of memory";
    }
    if (reply != nullptr && replyCapacity > 0) {
        const std::size_t length = std::min<std::size_t>(answer.size(), replyCapacity - 1);
        std::memcpy(reply, answer.data(), length);
        reply[length] = '\0';
    }
    return done ? 0 : 1;
}

} // extern "C"
