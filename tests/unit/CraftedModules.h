// Paths of the test modules that tests/resources builds next to the test program.
#pragma once

#include "platform/platform.h"

#include <vector>

namespace zektest {

// The directory of the running program, with its trailing separator.
inline WString ProgramDirectory() {
    std::vector<WCHAR> path(32000, 0);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), 32000);
    WString directory(path.data(), length);
    return directory.substr(0, directory.find_last_of(U16("/\\")) + 1);
}

// The full path of a crafted module, by its name without extension.
inline WString CraftedModulePath(const char* name) {
    WString path = ProgramDirectory();
    for (const char* c = name; *c != 0; ++c) {
        path += static_cast<WCHAR>(*c);
    }
#ifdef _WIN32
    path += U16(".dll");
#else
    path += U16(".so");
#endif
    return path;
}

} // namespace zektest
