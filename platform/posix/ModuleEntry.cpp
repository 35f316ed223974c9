// The loader calls DllMain on Windows; a shared library here has no such caller. This object
// stands in for it. It is linked last into the library, so it is constructed after every
// other static object (process attach comes after static initialisation, as on Windows) and
// destroyed before all of them.
#include "platform/platform.h"

#include <dlfcn.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

// This library's own dlopen handle, which GetModuleFileNameW accepts, as LoadLibraryW would
// return it. Opening with RTLD_NOLOAD finds the library already being loaded; closing again
// leaves its reference count as it was, so the library can still be unloaded.
HMODULE OwnModule() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnModule), &info) == 0 || info.dli_fname == nullptr) {
        return nullptr;
    }
    void* module = dlopen(info.dli_fname, RTLD_NOLOAD | RTLD_LAZY);
    if (module != nullptr) {
        dlclose(module);
    }
    return static_cast<HMODULE>(module);
}

class ModuleEntry {
public:
    ModuleEntry() : module_(OwnModule()) { DllMain(module_, DLL_PROCESS_ATTACH, nullptr); }
    ~ModuleEntry() { DllMain(module_, DLL_PROCESS_DETACH, nullptr); }
    ModuleEntry(const ModuleEntry&) = delete;
    ModuleEntry& operator=(const ModuleEntry&) = delete;

private:
    HMODULE module_;
};

ModuleEntry moduleEntry;

} // namespace
