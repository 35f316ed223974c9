// Modules and the thread's last error, over the dynamic loader.
#include "platform/posix/Text.h"
#include "platform/posix/win32.h"

#include <dlfcn.h>
#include <link.h>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// The path of the running program, as the kernel names it.
bool ProgramPath(std::string& path) {
    std::string buffer(256, '\0');
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", &buffer[0], buffer.size());
        if (length < 0) {
            return false;
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            path.assign(buffer, 0, static_cast<std::size_t>(length));
            return true;
        }
        if (buffer.size() >= 1u << 20) {
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The link map of a loaded object whose dlopen handle is `module`. The handle is compared
// with every loaded object before it is used, so a stale or made-up handle fails cleanly
// instead of being dereferenced (glibc's handles are the link maps themselves).
const link_map* FindLoadedModule(HMODULE module) {
    void* program = dlopen(nullptr, RTLD_LAZY | RTLD_NOLOAD);
    if (program == nullptr) {
        return nullptr;
    }
    link_map* map = nullptr;
    int status = dlinfo(program, RTLD_DI_LINKMAP, &map);
    dlclose(program);
    if (status != 0 || map == nullptr) {
        return nullptr;
    }
    while (map->l_prev != nullptr) {
        map = map->l_prev;
    }
    for (; map != nullptr; map = map->l_next) {
        if (static_cast<void*>(map) == static_cast<void*>(module)) {
            link_map* checked = nullptr;
            if (dlinfo(module, RTLD_DI_LINKMAP, &checked) != 0) {
                return nullptr;
            }
            return checked;
        }
    }
    return nullptr;
}

bool ModulePath(HMODULE module, std::string& path) {
    if (module == nullptr) {
        return ProgramPath(path);
    }
    const link_map* map = FindLoadedModule(module);
    if (map == nullptr) {
        return false;
    }
    // The program itself has an empty name in the link map.
    if (map->l_name == nullptr || map->l_name[0] == '\0') {
        return ProgramPath(path);
    }
    path = map->l_name;
    if (path[0] != '/') {
        // A library opened by a relative name: Windows answers with a full path.
        if (char* full = realpath(map->l_name, nullptr)) {
            path = full;
            std::free(full);
        }
    }
    return true;
}

} // namespace

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD dwErrCode) {
    lastError = dwErrCode;
}

DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    std::string path;
    if (!ModulePath(hModule, path)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::u16string name = zekplatform::PathToUtf16(path.c_str());
    if (lpFilename == nullptr || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (name.size() >= nSize) {
        // As Windows does since Vista: truncated, terminated, and the full size returned.
        name.copy(lpFilename, nSize - 1);
        lpFilename[nSize - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    name.copy(lpFilename, name.size());
    lpFilename[name.size()] = 0;
    return static_cast<DWORD>(name.size());
}

HMODULE LoadLibraryW(LPCWSTR lpLibFileName) {
    if (lpLibFileName == nullptr || lpLibFileName[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string path = zekplatform::PathFromUtf16(lpLibFileName);
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return static_cast<HMODULE>(module);
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (hModule == nullptr || lpProcName == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* symbol = dlsym(hModule, lpProcName);
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE hLibModule) {
    if (hLibModule == nullptr || dlclose(hLibModule) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
