// Off Windows this library also plays shell32's one entry point and ole32's task allocator
// and initialisation.
#include "standin/Guarded.h"
#include "standin/Store.h"
#include "standin/TaskMemory.h"

namespace {
thread_local int oleInitialised = 0;
}

extern "C" {

HRESULT SHGetPropertyStoreFromParsingName(PCWSTR path, IBindCtx*, GETPROPERTYSTOREFLAGS flags,
                                          REFIID riid, void** object) {
    return standin::Guarded([&] { return standin::OpenStore(path, flags, riid, object); });
}

LPVOID CoTaskMemAlloc(std::size_t size) {
    return standin::TaskAlloc(size);
}

void CoTaskMemFree(LPVOID memory) {
    standin::TaskFree(memory);
}

// Per thread, as OLE is: S_OK the first time, S_FALSE when already initialised.
HRESULT OleInitialize(LPVOID) {
    return oleInitialised++ == 0 ? S_OK : S_FALSE;
}

void OleUninitialize() {
    if (oleInitialised > 0) {
        --oleInitialised;
    }
}

} // extern "C"
