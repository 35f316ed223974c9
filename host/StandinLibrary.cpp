#include "host/StandinLibrary.h"

#include "host/DynamicLibrary.h"
#include "host/HostCom.h"

#include "standin/StandinControl.h"

#include <vector>

#ifdef _WIN32
#include "platform/platform.h"
#else
#include "host/SystemIo.h"

#include <dlfcn.h>
#endif

namespace zekhost {
namespace {

// Replies are truncated to this; a check that lists many leaks still fits.
constexpr std::uint32_t ReplyCapacity = 1u << 20;

#ifdef _WIN32

// From the system folder, where the tests place it, as the extender loads it: a propsys.dll
// beside the program is not the one the extender binds.
void* OpenStandin() {
    return LoadLibraryExW(L"propsys.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

#else

// Where the extender's platform layer looks first: beside the program, which shares its
// folder with the extender.
void* OpenStandin() {
    const char* const file = "libzekpropsys.so";
    if (void* handle = dlopen((ProgramDirectory() + "/" + file).c_str(), RTLD_NOW | RTLD_LOCAL)) {
        return handle;
    }
    return dlopen(file, RTLD_NOW | RTLD_LOCAL);
}

#endif

} // namespace

bool StandinLibrary::Load() {
    if (tried_) {
        return IsLoaded();
    }
    tried_ = true;
    library_.reset(path_.empty() ? OpenStandin() : OpenLibrary(path_));
    if (!library_) {
        return false;
    }
    // Without the override this is the system's own library, which has no control export.
    control_ = LibrarySymbol(library_.get(), ZEK_STANDIN_CONTROL_EXPORT);
    if (control_ == nullptr) {
        library_.reset();
    }
    return IsLoaded();
}

std::string StandinLibrary::ComApartment() {
    return zekhost::ComApartment();
}

void StandinLibrary::Unload() {
    library_.reset();
    control_ = nullptr;
}

bool StandinLibrary::Send(const std::string& command, std::int32_t& status, std::string& reply) {
    status = 0;
    reply.clear();
    if (!Load()) {
        return false;
    }
    std::vector<char> buffer(ReplyCapacity, '\0');
    status = reinterpret_cast<ZekStandinControlFn>(control_)(command.c_str(), buffer.data(),
                                                             ReplyCapacity);
    buffer.back() = '\0';
    reply = buffer.data();
    return true;
}

} // namespace zekhost
