// Owners of what the property system hands out: COM interfaces and task-allocated text, on
// the one owner template (a destructor releases only a held value; put() releases the old
// value before handing out the slot), and a PROPVARIANT, which is a value, not a handle.
#pragma once

#include "common/UniqueResource.h"
#include "platform/platform.h"

#include <cstring>

namespace zekextender {

template <typename Interface> void ReleaseInterface(Interface* pointer) {
    pointer->Release();
}

inline void FreeTaskMemory(WCHAR* text) {
    CoTaskMemFree(text);
}

// One reference to a COM interface.
template <typename Interface>
class ComPtr : public zekcommon::UniqueResource<Interface*, &ReleaseInterface<Interface>> {
public:
    Interface* operator->() const { return this->get(); }
    // The slot as the void** of the functions that take an interface identifier.
    void** put_void() { return reinterpret_cast<void**>(this->put()); }
};

// Text allocated with the COM task allocator, freed with CoTaskMemFree.
class TaskText : public zekcommon::UniqueResource<WCHAR*, &FreeTaskMemory> {
public:
    // A copy of the text; a null pointer reads as empty.
    WString str() const { return get() != nullptr ? WString(get()) : WString(); }
};

// A PROPVARIANT that starts zeroed (VT_EMPTY) and is cleared, through the bound property
// system, when it is destroyed.
class PropVariantValue {
public:
    PropVariantValue() { std::memset(&value, 0, sizeof value); }
    ~PropVariantValue() { clear(); }
    PropVariantValue(const PropVariantValue&) = delete;
    PropVariantValue& operator=(const PropVariantValue&) = delete;

    PROPVARIANT* put() {
        clear();
        return &value;
    }
    const PROPVARIANT& get() const { return value; }

    void clear();

private:
    PROPVARIANT value;
};

} // namespace zekextender
