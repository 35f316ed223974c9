#include "properties/binding/ModuleLoader.h"

namespace zekextender {

namespace {

// Plain functions of our own, so that both tables are constant-initialised: ready before any
// static object can bind, whatever the order of start-up.
HMODULE SystemLoadLibrary(LPCWSTR fileName) {
    return LoadLibraryW(fileName);
}
FARPROC SystemGetProcAddress(HMODULE module, LPCSTR name) {
    return GetProcAddress(module, name);
}
BOOL SystemFreeLibrary(HMODULE module) {
    return FreeLibrary(module);
}

} // namespace

const ModuleLoader SystemModuleLoader = {&SystemLoadLibrary, &SystemGetProcAddress,
                                         &SystemFreeLibrary};

ModuleLoader PropertySystemLoader = {&SystemLoadLibrary, &SystemGetProcAddress, &SystemFreeLibrary};

} // namespace zekextender
