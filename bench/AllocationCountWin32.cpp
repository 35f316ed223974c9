// Windows: the extender and the stand-in link the C runtime's allocator as imports, so the
// program points their import entries for the allocation functions at counting wrappers that
// call on to the originals. The extender and the stand-in are loaded before counting starts.
#include "bench/AllocationCount.h"

#include <windows.h>

#include <cstring>

namespace zekbench {
namespace {

std::uint64_t allocations = 0;

using MallocFn = void*(__cdecl*)(std::size_t);
using CallocFn = void*(__cdecl*)(std::size_t, std::size_t);
using ReallocFn = void*(__cdecl*)(void*, std::size_t);
using AlignedMallocFn = void*(__cdecl*)(std::size_t, std::size_t);
using TaskAllocFn = void*(WINAPI*)(SIZE_T);
using TaskReallocFn = void*(WINAPI*)(void*, SIZE_T);

MallocFn originalMalloc = nullptr;
CallocFn originalCalloc = nullptr;
ReallocFn originalRealloc = nullptr;
AlignedMallocFn originalAlignedMalloc = nullptr;
TaskAllocFn originalTaskAlloc = nullptr;
TaskReallocFn originalTaskRealloc = nullptr;

void* __cdecl CountedMalloc(std::size_t size) {
    ++allocations;
    return originalMalloc(size);
}
void* __cdecl CountedCalloc(std::size_t count, std::size_t size) {
    ++allocations;
    return originalCalloc(count, size);
}
void* __cdecl CountedRealloc(void* block, std::size_t size) {
    ++allocations;
    return originalRealloc(block, size);
}
void* __cdecl CountedAlignedMalloc(std::size_t size, std::size_t alignment) {
    ++allocations;
    return originalAlignedMalloc(size, alignment);
}
void* WINAPI CountedTaskAlloc(SIZE_T size) {
    ++allocations;
    return originalTaskAlloc(size);
}
void* WINAPI CountedTaskRealloc(void* block, SIZE_T size) {
    ++allocations;
    return originalTaskRealloc(block, size);
}

template <typename Fn> void Redirect(ULONG_PTR& slot, Fn& original, Fn counted) {
    if (original == nullptr) {
        original = reinterpret_cast<Fn>(slot);
    }
    DWORD protection = 0;
    if (VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &protection)) {
        slot = reinterpret_cast<ULONG_PTR>(counted);
        VirtualProtect(&slot, sizeof slot, protection, &protection);
    }
}

// Points the module's imports of the allocation functions at the counting wrappers.
void HookImports(HMODULE module) {
    if (module == nullptr) {
        return;
    }
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return;
    }
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        if (import->OriginalFirstThunk == 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const char* name =
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            ULONG_PTR& slot = slots->u1.Function;
            if (std::strcmp(name, "malloc") == 0) {
                Redirect(slot, originalMalloc, &CountedMalloc);
            } else if (std::strcmp(name, "calloc") == 0) {
                Redirect(slot, originalCalloc, &CountedCalloc);
            } else if (std::strcmp(name, "realloc") == 0) {
                Redirect(slot, originalRealloc, &CountedRealloc);
            } else if (std::strcmp(name, "_aligned_malloc") == 0) {
                Redirect(slot, originalAlignedMalloc, &CountedAlignedMalloc);
            } else if (std::strcmp(name, "CoTaskMemAlloc") == 0) {
                Redirect(slot, originalTaskAlloc, &CountedTaskAlloc);
            } else if (std::strcmp(name, "CoTaskMemRealloc") == 0) {
                Redirect(slot, originalTaskRealloc, &CountedTaskRealloc);
            }
        }
    }
}

} // namespace

std::uint64_t AllocationCount() {
    return allocations;
}

std::uint64_t HeapBytesInUse() {
    return 0;
}

bool StartCountingAllocations() {
    HookImports(GetModuleHandleW(nullptr));
    HookImports(GetModuleHandleW(L"zxvto38r.dll"));
    HookImports(GetModuleHandleW(L"propsys.dll"));
    HookImports(GetModuleHandleW(L"shell32.dll"));
    return originalMalloc != nullptr;
}

} // namespace zekbench
