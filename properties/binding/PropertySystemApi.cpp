#include "properties/binding/PropertySystemApi.h"

#include <iterator>
#include <new>
#include <type_traits>

namespace zekextender {

namespace {

// Through a generic function pointer: FARPROC and the SDK types differ in signature.
template <auto Member> void BindMember(PropertySystemApi& api, FARPROC address) {
    using Function = std::remove_reference_t<decltype(api.*Member)>;
    using Generic = void (*)();
    api.*Member = reinterpret_cast<Function>(reinterpret_cast<Generic>(address));
}

template <auto Member> bool MemberBound(const PropertySystemApi& api) {
    return api.*Member != nullptr;
}

} // namespace

const PropertySystemLibrary PropertySystemLibraries[] = {
    {&PropertySystemApi::shell32, U16("shell32.dll")},
    {&PropertySystemApi::propsys, U16("propsys.dll")},
    {&PropertySystemApi::ole32, U16("ole32.dll")},
};
static_assert(std::size(PropertySystemLibraries) == 3, "three libraries");

// One row per member: the export is looked up by the member's own name.
#define ZEK_ENTRY_POINT(library, member)                                                           \
    {                                                                                              \
        &PropertySystemApi::library, #member, &BindMember<&PropertySystemApi::member>,             \
            &MemberBound<&PropertySystemApi::member>                                               \
    }
const PropertySystemEntryPoint PropertySystemEntryPoints[] = {
    ZEK_ENTRY_POINT(shell32, SHGetPropertyStoreFromParsingName),
    ZEK_ENTRY_POINT(propsys, PSFormatForDisplay),
    ZEK_ENTRY_POINT(propsys, PSFormatForDisplayAlloc),
    ZEK_ENTRY_POINT(propsys, PSFormatPropertyValue),
    ZEK_ENTRY_POINT(propsys, PSGetPropertyKeyFromName),
    ZEK_ENTRY_POINT(propsys, PSGetNameFromPropertyKey),
    ZEK_ENTRY_POINT(propsys, PSCoerceToCanonicalValue),
    ZEK_ENTRY_POINT(propsys, PSGetPropertyDescription),
    ZEK_ENTRY_POINT(propsys, PSGetPropertyDescriptionByName),
    ZEK_ENTRY_POINT(ole32, PropVariantClear),
};
#undef ZEK_ENTRY_POINT
static_assert(std::size(PropertySystemEntryPoints) == 10, "ten entry points");

StatusCode PropertySystemApi::Load() {
    if (loaded) {
        return StatusSuccess;
    }
    try {
        return LoadAll();
    } catch (const std::bad_alloc&) {
        Unload(); // a loader that ran out of memory: nothing stays half bound
        return StatusOutOfMemory;
    }
}

StatusCode PropertySystemApi::LoadAll() {
    for (const PropertySystemLibrary& library : PropertySystemLibraries) {
        if (!(this->*library.module).load(library.fileName)) {
            Unload();
            return StatusLibraryLoadFailed;
        }
    }
    for (const PropertySystemEntryPoint& entry : PropertySystemEntryPoints) {
        const FARPROC address = (this->*entry.library).find(entry.exportName);
        if (address == nullptr) {
            Unload();
            return StatusEntryPointMissing;
        }
        entry.bind(*this, address);
    }
    loaded = true;
    return StatusSuccess;
}

StatusCode PropertySystemApi::Unload() {
    loaded = false;
    for (const PropertySystemEntryPoint& entry : PropertySystemEntryPoints) {
        entry.bind(*this, nullptr);
    }
    for (const PropertySystemLibrary& library : PropertySystemLibraries) {
        (this->*library.module).reset();
    }
    return StatusSuccess;
}

void PropertySystemApi::Abandon() {
    for (const PropertySystemLibrary& library : PropertySystemLibraries) {
        static_cast<void>((this->*library.module).release());
    }
    Unload();
}

} // namespace zekextender
