// The system modules "shell32.dll", "propsys.dll" and "ole32.dll": LoadLibraryW maps each of
// these bare names (in any case) to the stand-in property system, libzekpropsys.so, looked up
// first beside the module holding this code and then by the dynamic loader's search.
//
// Each system module has a handle of its own, as on Windows, so a free names the module it
// releases. Every load holds one reference to the library (dlopen's count) until freed.
//
// The unit tests, which link this layer statically, point the system modules at a library of
// their own and count the references held; this acts on their copy of the layer only.
#pragma once

#include "platform/posix/win32.h"

#include <string>

namespace zekplatform {

// The library file the system modules come from; a name without '/' is looked up as above.
// Empty restores libzekpropsys.so.
void SetSystemModuleFile(const std::string& file);

// References to system modules that LoadLibraryW gave and FreeLibrary has not yet released.
int LiveSystemModuleReferences();

// For the layer's own OLE functions: the system library by its default file, outside the
// file the tests set and the count. Null when it cannot be loaded.
void* OpenSystemLibraryUnobserved();

} // namespace zekplatform
