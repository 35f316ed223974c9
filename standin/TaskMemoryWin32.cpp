#include "standin/TaskMemory.h"

#include <mutex>
#include <unordered_set>

namespace standin {
namespace {

// The system allocator's IMallocSpy is called under the allocator's own lock, so our lock is
// never held while calling CoTaskMemAlloc or CoTaskMemFree (that order would deadlock).
struct Blocks {
    std::mutex lock;
    std::unordered_set<void*> live;  // ours, not yet freed
    std::unordered_set<void*> freed; // ours, freed, address not handed out again since
    std::int64_t badFrees = 0;
    bool spying = false;
};

Blocks& TheBlocks() {
    static Blocks* blocks = new Blocks;
    return *blocks;
}

// True when the block may really be freed.
bool NoteFree(void* block) {
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    if (blocks.live.erase(block) != 0) {
        try {
            blocks.freed.insert(block);
        } catch (...) {
        }
        return true;
    }
    if (blocks.freed.count(block) != 0) {
        ++blocks.badFrees;
        return false;
    }
    return true; // someone else's block
}

void NoteAddressReused(void* block) {
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    blocks.freed.erase(block);
}

thread_local bool reallocOfOurs = false;

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
            NoteAddressReused(actual);
        }
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
        return request != nullptr && !NoteFree(request) ? nullptr : request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest,
                                        BOOL) override {
        *newRequest = request;
        Blocks& blocks = TheBlocks();
        std::lock_guard<std::mutex> guard(blocks.lock);
        reallocOfOurs = blocks.live.erase(request) != 0;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override {
        if (actual != nullptr) {
            Blocks& blocks = TheBlocks();
            std::lock_guard<std::mutex> guard(blocks.lock);
            blocks.freed.erase(actual);
            if (reallocOfOurs) {
                try {
                    blocks.live.insert(actual);
                } catch (...) {
                }
            }
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
    Blocks& blocks = TheBlocks();
    std::unique_lock<std::mutex> guard(blocks.lock);
    try {
        blocks.live.insert(block);
        blocks.freed.erase(block);
    } catch (...) {
        guard.unlock();
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
    } else if (NoteFree(block)) {
        CoTaskMemFree(block);
    }
}

std::int64_t LiveAllocations() {
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    return static_cast<std::int64_t>(blocks.live.size());
}

std::int64_t BadFrees() {
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    return blocks.badFrees;
}

void ForgetBadFrees() {
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    blocks.badFrees = 0;
}

} // namespace standin
