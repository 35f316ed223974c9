#include "host/HostCom.h"

#include "host/DynamicLibrary.h"

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include "host/SystemIo.h"

#include <dlfcn.h>
#include <thread>
#endif

namespace zekhost {
namespace {

// HRESULT and DWORD are 32 bits on every platform.
using InitialiseFn = std::int32_t (*)(void*);
using InitialiseExFn = std::int32_t (*)(void*, std::uint32_t);
using ApartmentTypeFn = std::int32_t (*)(int*, int*);

// COM's library, held to the end of the process: ole32 from the system folder on Windows; the
// stand-in that plays it elsewhere (the instance the extender binds, beside this program).
void* ComLibrary() {
#ifdef _WIN32
    static void* const library =
        LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
#else
    static void* const library =
        dlopen((ProgramDirectory() + "/libzekpropsys.so").c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    return library;
}

template <typename Function> Function ComFunction(const char* name) {
    void* const library = ComLibrary();
    return library != nullptr ? reinterpret_cast<Function>(LibrarySymbol(library, name)) : nullptr;
}

} // namespace

bool InitialiseCom(const std::string& model) {
    if (model == "sta") {
        const auto initialise = ComFunction<InitialiseFn>("OleInitialize");
        return initialise != nullptr && initialise(nullptr) >= 0;
    }
    const auto initialise = ComFunction<InitialiseExFn>("CoInitializeEx");
    return model == "mta" && initialise != nullptr && initialise(nullptr, 0) >= 0;
}

std::string ComApartment() {
    const auto apartmentType = ComFunction<ApartmentTypeFn>("CoGetApartmentType");
    if (apartmentType == nullptr) {
        return "unavailable";
    }
    int type = 0;
    int qualifier = 0;
    if (apartmentType(&type, &qualifier) < 0) {
        return "none";
    }
    // APTTYPE_STA 0, APTTYPE_MTA 1, APTTYPE_NA 2, APTTYPE_MAINSTA 3.
    return type == 1 ? "mta" : type == 2 ? "neutral" : "sta";
}

bool RunOnThread(const std::function<void()>& work) {
#ifdef _WIN32
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* argument) -> DWORD {
            (*static_cast<const std::function<void()>*>(argument))();
            return 0;
        },
        const_cast<std::function<void()>*>(&work), 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
#else
    std::thread(work).join();
#endif
    return true;
}

} // namespace zekhost
