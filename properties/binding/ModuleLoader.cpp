#include "properties/binding/ModuleLoader.h"

#include <new>

namespace zekextender {

namespace {

// Plain functions of our own, so that both tables are constant-initialised: ready before any
// static object can bind, whatever the order of start-up.
//
// System libraries come from the system folder only: a search that starts in the program's
// folder would run a planted propsys.dll (not one of the libraries Windows always takes from
// the system folder) inside the interpreter. Where the flag is refused (Windows 7 without
// KB2533623), the full path from GetSystemDirectoryW does the same.
HMODULE SystemLoadLibrary(LPCWSTR fileName) {
    HMODULE module = LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) {
        return module;
    }
    WCHAR folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr; // its error stands
    }
    try {
        WString path(folder, length);
        path += U16("\\");
        path += fileName;
        return LoadLibraryW(path.c_str());
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
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
