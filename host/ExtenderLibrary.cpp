#include "host/ExtenderLibrary.h"

#include "host/DynamicLibrary.h"

namespace zekhost {

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
    api_.query = reinterpret_cast<ZEKExtenderQueryWFn>(LibrarySymbol(handle_, "ZEKExtenderQueryW"));
    api_.call = reinterpret_cast<ZEKExtender2WFn>(LibrarySymbol(handle_, "ZEKExtender2W"));
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
