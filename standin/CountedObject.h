// Reference counting for every COM object the stand-in hands out, with its accounting.
//
// An object is never deleted: after its last Release it drops its contents (Derived::Discard)
// and stays behind as an empty shell, so a Release too many is counted rather than touching
// freed memory. The shells are few and small, and live for the rest of the process.
#pragma once

#include "standin/Accounting.h"
#include "standin/Keys.h"

#include "platform/platform.h"

#include <cstddef>
#include <vector>

namespace standin {

// Keeps released shells reachable, so leak checkers see them as held, not lost. destroy
// deletes the shell when the shells are dropped.
void KeepShell(void* shell, void (*destroy)(void* shell));

// Deletes every shell kept so far and returns how many there were. Only for a moment when no
// caller can hold a pointer to a released object (between the inputs of a long test run, whose
// shells would otherwise pile up): a call on a dropped shell would touch freed memory.
std::size_t DropShells();

// Interface is the object's COM interface; its first three slots are IUnknown's, and nothing
// here adds a virtual function, so the vtable stays the interface's.
template <class Derived, class Interface> class CountedObject : public Interface {
public:
    ULONG STDMETHODCALLTYPE AddRef() override {
        CheckCalledBeforeDetach();
        if (count_ == 0) {
            CountOverRelease();
            return 0;
        }
        ++count_;
        CountReferences(1);
        return count_;
    }

    ULONG STDMETHODCALLTYPE Release() override {
        CheckCalledBeforeDetach();
        if (count_ == 0) {
            CountOverRelease();
            return 0;
        }
        --count_;
        CountReferences(-1);
        if (count_ == 0) {
            static_cast<Derived*>(this)->Discard();
            KeepShell(this, [](void* shell) { delete static_cast<Derived*>(shell); });
        }
        return count_;
    }

protected:
    // Born with the one reference that goes to the caller.
    CountedObject() { CountReferences(1); }
    // Runs with references left only when the derived constructor threw (out of memory while
    // copying its members): the object never reached a caller, so its reference goes too.
    // Dropped shells have none left.
    ~CountedObject() { CountReferences(-static_cast<std::int64_t>(count_)); }

    // QueryInterface for IUnknown and the one interface the object implements.
    HRESULT Answer(REFIID riid, const GUID& own, void** object) {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (count_ == 0) {
            CountOverRelease();
            return E_UNEXPECTED;
        }
        if (!SameGuid(riid, kIidUnknown) && !SameGuid(riid, own)) {
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }

private:
    ULONG count_ = 1;
};

// The value of a VT_UNKNOWN property: an object with nothing but its identity.
IUnknown* NewValueObject();

} // namespace standin
