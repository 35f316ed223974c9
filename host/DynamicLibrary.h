// The operating system's library loader, as the host uses it for the extender and for the
// stand-in property system.
#pragma once

#include "common/UniqueResource.h"

#include <string>

namespace zekhost {

// Loads a library by path; null on failure. A name without a folder is taken from the
// current folder on Linux; under Wine a Unix path is also tried on drive Z:.
void* OpenLibrary(const std::string& path);

// Why the last OpenLibrary failed.
std::string LoadError();

// An export by name, or null.
void* LibrarySymbol(void* handle, const char* name);

void CloseLibrary(void* handle);

// A library loaded by OpenLibrary, closed with CloseLibrary.
using OwnedLibrary = zekcommon::UniqueResource<void*, &CloseLibrary>;

} // namespace zekhost
