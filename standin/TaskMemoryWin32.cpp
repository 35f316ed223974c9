#include "standin/TaskBlocks.h"
#include "standin/TaskMemory.h"

namespace standin {

const ForeignBlocks TaskMemoryForeignBlocks = ForeignBlocks::Possible;

namespace {

thread_local bool reallocOfOurs = false;

// The system allocator's IMallocSpy is called under the allocator's own lock; the record's lock
// is never held while calling CoTaskMemAlloc or CoTaskMemFree (that order would deadlock).
class Spy final : public IMallocSpy {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMallocSpy)) {
            *object = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T request) override { return request; }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
        if (actual != nullptr) {
            TheTaskBlocks().AddressReused(actual);
        }
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
        return request != nullptr && !TheTaskBlocks().Freeing(request) ? nullptr : request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest,
                                        BOOL) override {
        *newRequest = request;
        reallocOfOurs = TheTaskBlocks().ReallocationOf(request);
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override {
        if (actual != nullptr) {
            TheTaskBlocks().Reallocated(actual, reallocOfOurs);
        }
        reallocOfOurs = false;
        return actual;
    }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}
};

Spy theSpy;

// Registered before our first allocation. The module is pinned once the spy is in place: the
// allocator keeps calling it, so this code must outlive every FreeLibrary of the stand-in.
bool Spying() {
    static const bool spying = [] {
        if (FAILED(CoRegisterMallocSpy(&theSpy))) {
            return false;
        }
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&theSpy), &self);
        return true;
    }();
    return spying;
}

} // namespace

void* TaskAlloc(std::size_t size) {
    Spying();
    void* block = CoTaskMemAlloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        return nullptr;
    }
    if (!TheTaskBlocks().Allocated(block)) {
        CoTaskMemFree(block);
        return nullptr;
    }
    return block;
}

void TaskFree(void* block) {
    if (block == nullptr) {
        return;
    }
    if (Spying()) {
        CoTaskMemFree(block); // the spy does the bookkeeping
    } else if (TheTaskBlocks().Freeing(block)) {
        CoTaskMemFree(block);
    }
}

} // namespace standin
