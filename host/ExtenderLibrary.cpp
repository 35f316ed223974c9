#include "host/ExtenderLibrary.h"

namespace zekhost {

#ifdef _WIN32
const char* const DefaultExtenderName = "zxvto38r.dll";
#else
const char* const DefaultExtenderName = "libzxvto38r.so";
#endif

bool ExtenderLibrary::Load(const std::string& path, std::string& error) {
    Unload();
    library_.reset(OpenLibrary(path));
    if (!library_) {
        error = "cannot load " + path + ": " + LoadError();
        return false;
    }
    api_.query =
        reinterpret_cast<ZEKExtenderQueryWFn>(LibrarySymbol(library_.get(), "ZEKExtenderQueryW"));
    api_.call = reinterpret_cast<ZEKExtender2WFn>(LibrarySymbol(library_.get(), "ZEKExtender2W"));
    if (api_.query == nullptr || api_.call == nullptr) {
        error = path + " does not export ZEKExtenderQueryW and ZEKExtender2W";
        Unload();
        return false;
    }
    return true;
}

void ExtenderLibrary::Unload() {
    library_.reset();
    api_ = ExtenderApi{};
}

} // namespace zekhost
