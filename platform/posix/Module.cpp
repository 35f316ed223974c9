// Modules, over the dynamic loader.
#include "platform/posix/SystemModules.h"
#include "platform/posix/Text.h"
#include "platform/posix/win32.h"

#include <dlfcn.h>
#include <link.h>
#include <climits>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

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

// The path of a loaded object, as Windows gives it: full, the program's own included.
bool LinkMapPath(const link_map* map, std::string& path) {
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

// System modules. Their handles point at these records, not at a link map, so each module
// keeps a handle of its own although all of them are one library.
struct SystemModule {
    const char* name;
    std::vector<void*> libraries; // one dlopen reference per live load, newest last
};

constexpr const char* DefaultSystemFile = "libzekpropsys.so";

struct LoaderState {
    std::mutex mutex;
    SystemModule modules[3] = {{"shell32.dll", {}}, {"propsys.dll", {}}, {"ole32.dll", {}}};
    std::string file; // empty: DefaultSystemFile
};

// Made by the first load, which the extender object makes while it is being constructed, so
// it is destroyed only after that object has freed its modules at exit. (A state that is never
// destroyed would strand its memory when the library holding this code is unloaded.)
LoaderState& State() {
    static LoaderState state;
    return state;
}

std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

SystemModule* SystemModuleNamed(LoaderState& state, const std::string& name) {
    const std::string lower = AsciiLower(name);
    for (SystemModule& module : state.modules) {
        if (lower == module.name) {
            return &module;
        }
    }
    return nullptr;
}

SystemModule* SystemModuleOf(LoaderState& state, HMODULE handle) {
    for (SystemModule& module : state.modules) {
        if (static_cast<void*>(handle) == static_cast<void*>(&module)) {
            return &module;
        }
    }
    return nullptr;
}

// The folder of the object that holds this code: the extender's library or a test program.
std::string OwnDirectory() {
    Dl_info info{};
    link_map* map = nullptr;
    std::string path;
    if (dladdr1(reinterpret_cast<void*>(&OwnDirectory), &info, reinterpret_cast<void**>(&map),
                RTLD_DL_LINKMAP) == 0 ||
        map == nullptr || !LinkMapPath(map, path)) {
        return std::string();
    }
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// A bare file name is found beside this code before the loader's search path is tried.
void* OpenSystemLibrary(const std::string& file) {
    if (file.find('/') == std::string::npos) {
        const std::string directory = OwnDirectory();
        if (!directory.empty()) {
            if (void* library = dlopen((directory + "/" + file).c_str(), RTLD_NOW | RTLD_LOCAL)) {
                return library;
            }
        }
    }
    return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

// The dlopen handle behind a module handle: a system module's newest reference, or the
// handle itself (null when it is a system module that is not loaded).
void* LibraryOf(HMODULE module) {
    LoaderState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (SystemModule* system = SystemModuleOf(state, module)) {
        return system->libraries.empty() ? nullptr : system->libraries.back();
    }
    return module;
}

bool ModulePath(HMODULE module, std::string& path) {
    if (module == nullptr) {
        return ProgramPath(path);
    }
    void* library = LibraryOf(module);
    const link_map* map =
        library != nullptr ? FindLoadedModule(static_cast<HMODULE>(library)) : nullptr;
    return map != nullptr && LinkMapPath(map, path);
}

} // namespace

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

namespace {

HMODULE LoadModule(LPCWSTR lpLibFileName) {
    if (lpLibFileName == nullptr || lpLibFileName[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string path = zekplatform::PathFromUtf16(lpLibFileName);
    LoaderState& state = State();
    std::unique_lock<std::mutex> lock(state.mutex);
    SystemModule* system = SystemModuleNamed(state, path);
    if (system == nullptr) {
        lock.unlock();
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            SetLastError(ERROR_MOD_NOT_FOUND);
        }
        return static_cast<HMODULE>(module);
    }

    // Room for the reference first, so that a library once opened is never lost.
    system->libraries.reserve(system->libraries.size() + 1);
    const std::string file = state.file.empty() ? DefaultSystemFile : state.file;
    // Outside the lock: the library's initialisers run now.
    lock.unlock();
    void* library = OpenSystemLibrary(file);
    lock.lock();
    if (library == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    system->libraries.push_back(library);
    return reinterpret_cast<HMODULE>(system);
}

} // namespace

// As on Windows, running out of memory is a failed load, not an exception.
HMODULE LoadLibraryW(LPCWSTR lpLibFileName) {
    try {
        return LoadModule(lpLibFileName);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
    if (hFile != nullptr || dwFlags != LOAD_LIBRARY_SEARCH_SYSTEM32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return LoadLibraryW(lpLibFileName);
}

UINT GetSystemDirectoryW(LPWSTR, UINT) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
}

// The kernel's thread id: unique among live threads and positive, as Windows' is nonzero.
DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(gettid());
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (hModule == nullptr || lpProcName == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // Below 0x10000 the name is an ordinal, which no module here exports.
    if (reinterpret_cast<std::uintptr_t>(lpProcName) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* library = hModule;
    {
        LoaderState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        if (SystemModule* system = SystemModuleOf(state, hModule)) {
            if (system->libraries.empty()) {
                SetLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
            library = system->libraries.back();
        }
    }
    void* symbol = dlsym(library, lpProcName);
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE hLibModule) {
    void* library = nullptr;
    {
        LoaderState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        SystemModule* system = SystemModuleOf(state, hLibModule);
        if (system != nullptr && !system->libraries.empty()) {
            library = system->libraries.back();
            system->libraries.pop_back();
        }
    }
    // Any other handle must be a loaded object (a system module's never is): a stale or
    // made-up one is refused, not handed to dlclose. Outside the lock, as the loader takes its
    // own.
    if (library == nullptr && FindLoadedModule(hLibModule) != nullptr) {
        library = hLibModule;
    }
    // Outside the lock: the library's finalisers may run now.
    if (library == nullptr || dlclose(library) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

namespace zekplatform {

void SetSystemModuleFile(const std::string& file) {
    LoaderState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.file = file;
}

int LiveSystemModuleReferences() {
    LoaderState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    std::size_t live = 0;
    for (const SystemModule& module : state.modules) {
        live += module.libraries.size();
    }
    return static_cast<int>(live);
}

void* OpenSystemLibraryUnobserved() {
    return OpenSystemLibrary(DefaultSystemFile);
}

} // namespace zekplatform
