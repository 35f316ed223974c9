// The stand-in property system as zekhost reaches it: the same library instance that the
// extender binds (libzekpropsys.so beside zekhost; propsys.dll under Wine, where the test's
// DLL overrides make that the stand-in), loaded at the first command and held until Unload.
#pragma once

#include "host/DynamicLibrary.h"
#include "host/StandinChannel.h"

#include <string>
#include <utility>

namespace zekhost {

class StandinLibrary : public StandinChannel {
public:
    // path: the library to load; empty for the one the extender binds by default.
    explicit StandinLibrary(std::string path = std::string()) : path_(std::move(path)) {}
    StandinLibrary(const StandinLibrary&) = delete;
    StandinLibrary& operator=(const StandinLibrary&) = delete;

    // Loads the library once; a library that cannot be loaded or lacks the control export is
    // not tried again. True when it is loaded.
    bool Load();
    bool IsLoaded() const { return control_ != nullptr; }
    void Unload();

    bool Send(const std::string& command, std::int32_t& status, std::string& reply) override;
    std::string ComApartment() override;

private:
    std::string path_;
    OwnedLibrary library_;
    void* control_ = nullptr;
    bool tried_ = false;
};

} // namespace zekhost
