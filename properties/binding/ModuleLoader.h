// The loader functions through which the property system is bound, gathered in one table so
// that tests can take a library or an entry point away, or watch every load and free, on
// every platform. Unless a test replaces it, the table holds the system's own functions.
#pragma once

#include "common/UniqueResource.h"
#include "platform/platform.h"

namespace zekextender {

struct ModuleLoader {
    HMODULE (*loadLibrary)(LPCWSTR fileName);
    FARPROC (*getProcAddress)(HMODULE module, LPCSTR name);
    BOOL (*freeLibrary)(HMODULE module);
};

// The system's loader: system libraries from the system folder, GetProcAddress, FreeLibrary.
extern const ModuleLoader SystemModuleLoader;

// The table the binding calls through. Replace it only while nothing is bound through it.
extern ModuleLoader PropertySystemLoader;

// Gives a module back through PropertySystemLoader (its answer is of no use to anyone here).
inline void FreeLoadedModule(HMODULE module) {
    PropertySystemLoader.freeLibrary(module);
}

// One reference to a loaded module, taken and released through PropertySystemLoader.
class OwnedModule : public zekcommon::UniqueResource<HMODULE, &FreeLoadedModule> {
public:
    // Loads a module by file name, releasing the one held before; false when it cannot.
    bool load(LPCWSTR fileName) {
        *put() = PropertySystemLoader.loadLibrary(fileName);
        return get() != nullptr;
    }
    // The module's export of that name, or null.
    FARPROC find(LPCSTR name) const {
        return get() != nullptr ? PropertySystemLoader.getProcAddress(get(), name) : nullptr;
    }
};

} // namespace zekextender
