#include "host/ExtenderLibrary.h"

#ifdef _WIN32
#include "host/Utf.h"
#else
#include <dlfcn.h>
#endif

namespace zekhost {
namespace {

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

void* Symbol(void* handle, const char* name) {
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

void* Symbol(void* handle, const char* name) {
    return dlsym(handle, name);
}

void CloseLibrary(void* handle) {
    dlclose(handle);
}

#endif

} // namespace

#ifdef _WIN32
const char* const DefaultExtenderName = "zxvto38r.dll";
#else
const char* const DefaultExtenderName = "libzxvto38r.so";
#endif

bool ExtenderLibrary::Load(const std::string& path, std::string& error) {
    Unload();
    handle_ = OpenLibrary(path);
    if (handle_ == nullptr) {
        error = "cannot load " + path + ": " + LoadError();
        return false;
    }
    api_.query = reinterpret_cast<ZEKExtenderQueryWFn>(Symbol(handle_, "ZEKExtenderQueryW"));
    api_.call = reinterpret_cast<ZEKExtender2WFn>(Symbol(handle_, "ZEKExtender2W"));
    if (api_.query == nullptr || api_.call == nullptr) {
        error = path + " does not export ZEKExtenderQueryW and ZEKExtender2W";
        Unload();
        return false;
    }
    return true;
}

void ExtenderLibrary::Unload() {
    if (handle_ != nullptr) {
        CloseLibrary(handle_);
    }
    handle_ = nullptr;
    api_ = ExtenderApi{};
}

} // namespace zekhost
