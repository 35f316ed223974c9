// OLE and the COM task allocator. The stand-in property system carries them as its
// "ole32.dll", and text it allocates must come back to its own allocator, so these forward to
// it. Without it they do nothing and use the C heap.
#include "platform/posix/SystemModules.h"
#include "platform/posix/com.h"

#include <dlfcn.h>
#include <cstdlib>
#include <new>

namespace {

struct OleFunctions {
    HRESULT (*initialize)(LPVOID) = nullptr;
    void (*uninitialize)() = nullptr;
    LPVOID (*allocate)(std::size_t) = nullptr;
    void (*free)(LPVOID) = nullptr;
};

template <typename Function> void Bind(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
}

// Decided once, at the first call, and kept to the end of the process: memory allocated by
// one allocator is never handed to the other.
const OleFunctions& Ole() {
    static const OleFunctions functions = [] {
        OleFunctions found;
        void* library = zekplatform::OpenSystemLibraryUnobserved();
        if (library == nullptr) {
            return found;
        }
        Bind(library, "OleInitialize", found.initialize);
        Bind(library, "OleUninitialize", found.uninitialize);
        Bind(library, "CoTaskMemAlloc", found.allocate);
        Bind(library, "CoTaskMemFree", found.free);
        // The allocator comes as a pair or not at all.
        if (found.allocate == nullptr || found.free == nullptr) {
            found.allocate = nullptr;
            found.free = nullptr;
        }
        return found;
    }();
    return functions;
}

} // namespace

// Deciding which allocator to use needs memory once. Should it run out, nothing is decided
// yet and the next call tries again; these functions fail as Windows' do, without throwing.
HRESULT OleInitialize(LPVOID reserved) {
    try {
        return Ole().initialize != nullptr ? Ole().initialize(reserved) : S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

void OleUninitialize() {
    try {
        if (Ole().uninitialize != nullptr) {
            Ole().uninitialize();
        }
    } catch (const std::bad_alloc&) {
    }
}

LPVOID CoTaskMemAlloc(std::size_t size) {
    try {
        return Ole().allocate != nullptr ? Ole().allocate(size) : std::malloc(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void CoTaskMemFree(LPVOID memory) {
    try {
        if (Ole().free != nullptr) {
            Ole().free(memory);
        } else {
            std::free(memory);
        }
    } catch (const std::bad_alloc&) {
        // Still undecided: left, rather than freed by an allocator that may not own it.
    }
}
