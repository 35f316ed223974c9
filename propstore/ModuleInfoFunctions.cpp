// vtoVersion, vtoIsSupported and vtoIsDebugBuild: what a script can learn about the extender.
#include "propstore/MyExtender.h"
#include "properties/binding/PropertySystemApi.h"

namespace zekextender {

std::int32_t CMyExtender::vtoVersion(INT_PTR, INT_PTR, INT_PTR, void*, std::uint32_t) noexcept {
    // The number the host's first information query computed (0 before it).
    return ReturnInteger(static_cast<std::int32_t>(versionNumber));
}

std::int32_t CMyExtender::vtoIsSupported(INT_PTR, INT_PTR, INT_PTR, void*, std::uint32_t) noexcept {
    return ReturnBool(PropertySystem.IsLoaded());
}

std::int32_t CMyExtender::vtoIsDebugBuild(INT_PTR, INT_PTR, INT_PTR, void*,
                                          std::uint32_t) noexcept {
    return ReturnBool(false);
}

} // namespace zekextender
