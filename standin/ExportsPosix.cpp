// Off Windows this library also plays shell32's one entry point and ole32's task allocator
// and initialisation.
#include "standin/Accounting.h"
#include "standin/Guarded.h"
#include "standin/Store.h"
#include "standin/TaskMemory.h"

namespace {

// COM's state of one thread: its initialisations, of which OLE's, and its apartment.
struct ThreadCom {
    int initialisations = 0;
    int oleInitialisations = 0;
    bool multithreaded = false;
};
thread_local ThreadCom threadCom;

// Off Windows the library's finalisers are its process-exit detach (also run by dlclose,
// after which nothing can call it anyway).
struct DetachMark {
    ~DetachMark() { standin::MarkProcessExitDetach(); }
} detachMark;

} // namespace

namespace standin {
bool ComInitialisedOnThisThread() {
    return threadCom.initialisations > 0;
}
} // namespace standin

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

// Per thread (documented: CoInitializeEx): S_OK the first time, S_FALSE when already
// initialised in the same model, RPC_E_CHANGED_MODE in the other one, which stays.
HRESULT CoInitializeEx(LPVOID, DWORD coinit) {
    const bool multithreaded = (coinit & 0x2) == 0; // COINIT_APARTMENTTHREADED is 0x2
    if (threadCom.initialisations > 0) {
        if (threadCom.multithreaded != multithreaded) {
            return RPC_E_CHANGED_MODE;
        }
        ++threadCom.initialisations;
        return S_FALSE;
    }
    threadCom.initialisations = 1;
    threadCom.multithreaded = multithreaded;
    return S_OK;
}

// Each successful initialisation is balanced by one call on the same thread (documented:
// CoUninitialize); one more is the caller's fault and is counted.
void CoUninitialize() {
    if (threadCom.initialisations == 0) {
        standin::CountUnmatchedUninitialisation();
        return;
    }
    --threadCom.initialisations;
}

// APTTYPE_STA 0, APTTYPE_MTA 1; CO_E_NOTINITIALIZED on a thread outside any apartment
// (documented: CoGetApartmentType).
HRESULT CoGetApartmentType(int* type, int* qualifier) {
    if (type == nullptr || qualifier == nullptr) {
        return E_INVALIDARG;
    }
    *qualifier = 0;
    if (threadCom.initialisations == 0) {
        *type = -1; // APTTYPE_CURRENT
        return CO_E_NOTINITIALIZED;
    }
    *type = threadCom.multithreaded ? 1 : 0;
    return S_OK;
}

// COM in a single-threaded apartment (documented: OleInitialize), so RPC_E_CHANGED_MODE on a
// thread in the multithreaded one.
HRESULT OleInitialize(LPVOID) {
    const HRESULT result = CoInitializeEx(nullptr, 0x2);
    if (SUCCEEDED(result)) {
        ++threadCom.oleInitialisations;
    }
    return result;
}

// Balances one successful OleInitialize of this thread (documented: OleUninitialize); without
// one it is counted and changes nothing (assumed: the page does not say what Windows does).
void OleUninitialize() {
    if (threadCom.oleInitialisations == 0) {
        standin::CountUnmatchedUninitialisation();
        return;
    }
    --threadCom.oleInitialisations;
    CoUninitialize();
}

} // extern "C"
