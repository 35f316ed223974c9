// Loads an extender library and resolves its two entry points; unloading runs the
// library's static destructors.
#pragma once

#include "host/DynamicLibrary.h"
#include "host/HostSession.h"

#include <string>

namespace zekhost {

// libzxvto38r.so or zxvto38r.dll.
extern const char* const DefaultExtenderName;

class ExtenderLibrary {
public:
    ExtenderLibrary() = default;
    ExtenderLibrary(const ExtenderLibrary&) = delete;
    ExtenderLibrary& operator=(const ExtenderLibrary&) = delete;

    // path is UTF-8. False with a message when the library or an entry point is missing.
    bool Load(const std::string& path, std::string& error);
    void Unload();

    const ExtenderApi& Api() const { return api_; }

private:
    OwnedLibrary library_;
    ExtenderApi api_;
};

} // namespace zekhost
