// The loader functions through which the property system is bound, gathered in one table so
// that tests can take a library or an entry point away, or watch every load and free, on
// every platform. Unless a test replaces it, the table holds the system's own functions.
#pragma once

#include "platform/platform.h"

#include <utility>

namespace zekextender {

struct ModuleLoader {
    HMODULE (*loadLibrary)(LPCWSTR fileName);
    FARPROC (*getProcAddress)(HMODULE module, LPCSTR name);
    BOOL (*freeLibrary)(HMODULE module);
};

// LoadLibraryW, GetProcAddress and FreeLibrary of the system.
extern const ModuleLoader SystemModuleLoader;

// The table the binding calls through. Replace it only while nothing is bound through it.
extern ModuleLoader PropertySystemLoader;

// One reference to a loaded module, taken and released through PropertySystemLoader.
class OwnedModule {
public:
    OwnedModule() = default;
    ~OwnedModule() { reset(); }
    OwnedModule(const OwnedModule&) = delete;
    OwnedModule& operator=(const OwnedModule&) = delete;

    HMODULE get() const { return module; }
    explicit operator bool() const { return module != nullptr; }

    // Loads a module by file name, releasing the one held before; false when it cannot.
    bool load(LPCWSTR fileName) {
        reset();
        module = PropertySystemLoader.loadLibrary(fileName);
        return module != nullptr;
    }
    // The module's export of that name, or null.
    FARPROC find(LPCSTR name) const {
        return module != nullptr ? PropertySystemLoader.getProcAddress(module, name) : nullptr;
    }
    // Releases the module (the loader's answer is of no use to anyone here).
    void reset() {
        if (module != nullptr) {
            PropertySystemLoader.freeLibrary(std::exchange(module, nullptr));
        }
    }

private:
    HMODULE module = nullptr;
};

} // namespace zekextender
