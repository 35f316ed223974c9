#include "propstore/PropertySystemApi.h"

#include <new>

namespace zekextender {

PropertySystemApi PropertySystem;

namespace {

// Looks up an export by its exact name into a pointer of the entry point's own type.
template <typename Function> bool BindEntry(HMODULE module, const char* name, Function& function) {
    // Through a generic function pointer: FARPROC and the SDK types differ in signature.
    using Generic = void (*)();
    function = reinterpret_cast<Function>(reinterpret_cast<Generic>(GetProcAddress(module, name)));
    return function != nullptr;
}

// The libraries, in load order (and order of release).
struct Library {
    HMODULE PropertySystemApi::*handle;
    const WCHAR* name;
};
const Library Libraries[] = {
    {&PropertySystemApi::shell32, U16("shell32.dll")},
    {&PropertySystemApi::propsys, U16("propsys.dll")},
    {&PropertySystemApi::ole32, U16("ole32.dll")},
};

} // namespace

StatusCode PropertySystemApi::Load() {
    if (loaded) {
        return StatusSuccess;
    }
    try {
        return Bind();
    } catch (const std::bad_alloc&) {
        Unload(); // a loader that ran out of memory: nothing stays half bound
        return StatusOutOfMemory;
    }
}

StatusCode PropertySystemApi::Bind() {
    for (const Library& library : Libraries) {
        this->*library.handle = LoadLibraryW(library.name);
        if (this->*library.handle == nullptr) {
            Unload();
            return StatusLibraryLoadFailed;
        }
    }
    // In the published order; && stops at the first one missing.
    const bool bound =
        BindEntry(shell32, "SHGetPropertyStoreFromParsingName",
                  SHGetPropertyStoreFromParsingName) &&
        BindEntry(propsys, "PSFormatForDisplay", PSFormatForDisplay) &&
        BindEntry(propsys, "PSFormatForDisplayAlloc", PSFormatForDisplayAlloc) &&
        BindEntry(propsys, "PSFormatPropertyValue", PSFormatPropertyValue) &&
        BindEntry(propsys, "PSGetPropertyKeyFromName", PSGetPropertyKeyFromName) &&
        BindEntry(propsys, "PSGetNameFromPropertyKey", PSGetNameFromPropertyKey) &&
        BindEntry(propsys, "PSCoerceToCanonicalValue", PSCoerceToCanonicalValue) &&
        BindEntry(propsys, "PSGetPropertyDescription", PSGetPropertyDescription) &&
        BindEntry(propsys, "PSGetPropertyDescriptionByName", PSGetPropertyDescriptionByName) &&
        BindEntry(ole32, "PropVariantClear", PropVariantClear);
    if (!bound) {
        Unload();
        return StatusEntryPointMissing;
    }
    loaded = true;
    return StatusSuccess;
}

StatusCode PropertySystemApi::Unload() {
    loaded = false;
    SHGetPropertyStoreFromParsingName = nullptr;
    PSFormatForDisplay = nullptr;
    PSFormatForDisplayAlloc = nullptr;
    PSFormatPropertyValue = nullptr;
    PSGetPropertyKeyFromName = nullptr;
    PSGetNameFromPropertyKey = nullptr;
    PSCoerceToCanonicalValue = nullptr;
    PSGetPropertyDescription = nullptr;
    PSGetPropertyDescriptionByName = nullptr;
    PropVariantClear = nullptr;
    for (const Library& library : Libraries) {
        if (this->*library.handle != nullptr) {
            FreeLibrary(this->*library.handle);
            this->*library.handle = nullptr;
        }
    }
    return StatusSuccess;
}

} // namespace zekextender
