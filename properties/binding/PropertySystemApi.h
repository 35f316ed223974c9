// The Windows property system, bound at run time: the module loads (and reports status 95)
// on systems where a library or an entry point is missing.
#pragma once

#include "platform/platform.h"
#include "properties/binding/ModuleLoader.h"
#include "status/StatusCode.h"

#include <cstddef>

namespace zekextender {

// Interface identifiers asked of the property system (the published values).
constexpr IID PropertyStoreInterfaceId = {
    0x886D8EEB, 0x8CF2, 0x4446, {0x8D, 0x02, 0xCD, 0xBA, 0x1D, 0xBD, 0xCF, 0x99}};
constexpr IID PropertyDescriptionInterfaceId = {
    0x6F79D558, 0x3E96, 0x4549, {0xA1, 0xD1, 0x7D, 0x75, 0xD2, 0x28, 0x88, 0x14}};

// The three libraries and the ten entry points, each pointer typed exactly as the SDK
// declares the function of the same name. All or nothing: loaded is true only while every
// module and pointer is set. Which member comes from which library under which name is
// written once, in PropertySystemLibraries and PropertySystemEntryPoints below.
struct PropertySystemApi {
    bool loaded = false;

    OwnedModule shell32;
    OwnedModule propsys;
    OwnedModule ole32;

    decltype(&::SHGetPropertyStoreFromParsingName) SHGetPropertyStoreFromParsingName = nullptr;
    decltype(&::PSFormatForDisplay) PSFormatForDisplay = nullptr;
    decltype(&::PSFormatForDisplayAlloc) PSFormatForDisplayAlloc = nullptr;
    decltype(&::PSFormatPropertyValue) PSFormatPropertyValue = nullptr;
    decltype(&::PSGetPropertyKeyFromName) PSGetPropertyKeyFromName = nullptr;
    decltype(&::PSGetNameFromPropertyKey) PSGetNameFromPropertyKey = nullptr;
    decltype(&::PSCoerceToCanonicalValue) PSCoerceToCanonicalValue = nullptr;
    decltype(&::PSGetPropertyDescription) PSGetPropertyDescription = nullptr;
    decltype(&::PSGetPropertyDescriptionByName) PSGetPropertyDescriptionByName = nullptr;
    decltype(&::PropVariantClear) PropVariantClear = nullptr;

    // Loads shell32.dll, propsys.dll and ole32.dll and binds the entry points, through
    // PropertySystemLoader. 0 (also when already loaded), 95 when a library is missing, 96 when
    // an entry point is, 20 when the loader ran out of memory; after a failure nothing stays
    // loaded or bound.
    StatusCode Load();
    // Unbinds everything and frees the libraries. Always 0.
    StatusCode Unload();
    // Unbinds everything and forgets the libraries without freeing them: for the end of the
    // process, when FreeLibrary must not be called.
    void Abandon();
    bool IsLoaded() const { return loaded; }

private:
    StatusCode LoadAll();
};

// The libraries, in the order they are loaded and freed.
struct PropertySystemLibrary {
    OwnedModule PropertySystemApi::*module;
    const WCHAR* fileName;
};
extern const PropertySystemLibrary PropertySystemLibraries[3];

// The entry points, in the order they are bound: the library each comes from, its export name,
// and access to the member that holds it.
struct PropertySystemEntryPoint {
    OwnedModule PropertySystemApi::*library;
    const char* exportName;
    // Stores an address in the member, typed as the member is; null unbinds it.
    void (*bind)(PropertySystemApi& api, FARPROC address);
    bool (*isBound)(const PropertySystemApi& api);
};
extern const PropertySystemEntryPoint PropertySystemEntryPoints[10];

// The one binding of the process: loaded by the extender object's construction, unloaded by
// its destruction, only read in between. Defined in propstore/StaticObjects.cpp.
extern PropertySystemApi PropertySystem;

} // namespace zekextender
