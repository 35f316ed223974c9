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
#include <utility>

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

// The property a call names, and the injection at the call: info is set when result succeeds.
struct NamedProperty {
    HRESULT result = S_OK;
    const PropertyInfo* info = nullptr;
    std::optional<Injection> injected;
};

// The property of a name or key, unless the injection at the call fails it first.
template <typename NameOrKey>
NamedProperty LookUp(std::optional<Injection> injected, const NameOrKey& nameOrKey) {
    NamedProperty found;
    found.injected = std::move(injected);
    if (found.injected && FAILED(found.injected->result)) {
        found.result = found.injected->result;
        return found;
    }
    found.info = FindProperty(nameOrKey);
    found.result = found.info != nullptr ? S_OK : TYPE_E_ELEMENTNOTFOUND;
    return found;
}

// As every call that takes a canonical name finds it: no name is E_INVALIDARG, an injected
// failure answers before the lookup, an unknown name is TYPE_E_ELEMENTNOTFOUND.
NamedProperty FindNamedProperty(Point point, PCWSTR name) {
    if (name == nullptr) {
        NamedProperty none;
        none.result = E_INVALIDARG;
        return none;
    }
    const WString canonical(name);
    return LookUp(InjectedForName(point, canonical), canonical);
}

// The same for a call that takes a key.
NamedProperty FindKeyedProperty(Point point, REFPROPERTYKEY key) {
    return LookUp(InjectedFor(point, nullptr, key), key);
}

// A call's own failure, or the injected result in place of its success.
HRESULT Answer(HRESULT own, const std::optional<Injection>& injected) {
    return FAILED(own) || !injected ? own : injected->result;
}

// The description of the property found, under the injected result.
HRESULT GiveDescription(const NamedProperty& found, REFIID riid, void** object) {
    if (FAILED(found.result)) {
        return found.result;
    }
    return Answer(NewDescription(*found.info, riid, object), found.injected);
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
        const NamedProperty found = FindNamedProperty(Point::GetPropertyKeyFromName, name);
        if (FAILED(found.result)) {
            return found.result;
        }
        *key = found.info->key;
        return Answer(found.result, found.injected);
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
        const NamedProperty found = FindKeyedProperty(Point::CoerceToCanonicalValue, key);
        if (FAILED(found.result)) {
            return found.result;
        }
        return Answer(CoerceVariant(*found.info, value), found.injected);
    });
}

HRESULT PSGetPropertyDescription(REFPROPERTYKEY key, REFIID riid, void** object) {
    return Guarded([&]() -> HRESULT {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        return GiveDescription(FindKeyedProperty(Point::GetPropertyDescription, key), riid, object);
    });
}

HRESULT PSGetPropertyDescriptionByName(PCWSTR name, REFIID riid, void** object) {
    return Guarded([&]() -> HRESULT {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        return GiveDescription(FindNamedProperty(Point::GetPropertyDescriptionByName, name), riid,
                               object);
    });
}

HRESULT PropVariantClear(PROPVARIANT* value) {
    return Guarded([&]() -> HRESULT {
        const auto injected = Injected(Point::PropVariantClear);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        return Answer(ClearVariant(value), injected);
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
