#include "host/DynamicLibrary.h"

#ifdef _WIN32
#include "host/Utf.h"
#include "platform/platform.h"
#else
#include <dlfcn.h>
#endif

namespace zekhost {

#ifdef _WIN32

void* OpenLibrary(const std::string& path) {
    WString wide;
    Utf8ToUtf16(path, wide);
    HMODULE module = LoadLibraryW(wide.c_str());
    // Under Wine a Unix path may need drive Z: spelled out.
    if (module == nullptr && !path.empty() && path[0] == '/') {
        Utf8ToUtf16("Z:" + path, wide);
        module = LoadLibraryW(wide.c_str());
    }
    return module;
}

std::string LoadError() {
    return "error " + std::to_string(GetLastError());
}

void* LibrarySymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void CloseLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}

#else

void* OpenLibrary(const std::string& path) {
    // A name without a folder would be looked up in the loader's search path, not here.
    const std::string local = path.find('/') == std::string::npos ? "./" + path : path;
    return dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL);
}

std::string LoadError() {
    const char* reason = dlerror();
    return reason != nullptr ? reason : "unknown error";
}

void* LibrarySymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}

void CloseLibrary(void* handle) {
    dlclose(handle);
}

#endif

} // namespace zekhost
