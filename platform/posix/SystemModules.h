// The system modules "shell32.dll", "propsys.dll" and "ole32.dll": LoadLibraryW maps each of
// these bare names (in any case) to the stand-in property system, libzekpropsys.so, looked up
// first beside the module holding this code and then by the dynamic loader's search.
//
// Each system module has a handle of its own, as on Windows, so a free names the module it
// releases. Every load holds one reference to the library (dlopen's count) until freed.
//
// The hooks below let unit tests, which link this layer statically, take a module or an
// export away and watch every load and free. They act on this copy of the layer only.
#pragma once

#include "platform/posix/win32.h"

#include <string>
#include <vector>

namespace zekplatform {

struct ModuleEvent {
    enum class Kind { Load, Free };
    Kind kind = Kind::Load;
    // System modules by their lower-case name ("propsys.dll"); other loads by the name asked
    // for, other frees by the module's path ("" when the handle is unknown).
    std::string module;
    // The handle loaded (null when the load failed) or passed to FreeLibrary.
    HMODULE handle = nullptr;
    bool succeeded = false;
};

// The library file the system modules come from; a name without '/' is looked up as above.
// Empty restores libzekpropsys.so.
void SetSystemModuleFile(const std::string& file);

// LoadLibraryW of this system module (any case) fails with ERROR_MOD_NOT_FOUND.
void HideSystemModule(const std::string& module);

// GetProcAddress of this export name from any system module fails with ERROR_PROC_NOT_FOUND.
void HideSystemExport(const std::string& exportName);

// Undoes SetSystemModuleFile, HideSystemModule and HideSystemExport.
void ClearSystemModuleHooks();

// Every LoadLibraryW and FreeLibrary since the last call, oldest first; clears the list.
std::vector<ModuleEvent> TakeModuleEvents();

// References to system modules that LoadLibraryW gave and FreeLibrary has not yet released.
int LiveSystemModuleReferences();

// For the layer's own OLE functions: the system library by its default file, outside the
// hooks, the events and the count. Null when it cannot be loaded.
void* OpenSystemLibraryUnobserved();

} // namespace zekplatform
