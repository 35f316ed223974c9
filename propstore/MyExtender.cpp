#include "propstore/MyExtender.h"

#include "status/StatusCode.h"

namespace zekextender {

namespace {
// The one extender object of the module, constructed during static initialisation.
CMyExtender Extender;
} // namespace

CMyExtender::CMyExtender() {
    TheExtender = this;
    shortName = U16("ZXVTO38R");
    description = U16("Vantoro Extender");
}

CMyExtender::~CMyExtender() = default;

FunctionEntry* CMyExtender::GetFunctionTable() {
    return FunctionTable;
}

FunctionEntry* CMyExtender::GetAltFunctionTable() {
    return FunctionTable;
}

std::int32_t CMyExtender::ReturnNotAvailable() {
    return ReturnError(ErrorResult, StatusCannotService);
}

// Functions over the property system: not available yet.
#define ZEK_NOT_AVAILABLE(name)                                                                    \
    std::int32_t CMyExtender::name(INT_PTR, INT_PTR, INT_PTR, void*, std::uint32_t) {              \
        return ReturnNotAvailable();                                                               \
    }
ZEK_NOT_AVAILABLE(vtoVersion)
ZEK_NOT_AVAILABLE(vtoOpenPS)
ZEK_NOT_AVAILABLE(vtoClosePS)
ZEK_NOT_AVAILABLE(vtoGetPropertyNames)
ZEK_NOT_AVAILABLE(vtoGetPropertyValue)
ZEK_NOT_AVAILABLE(vtoSetPropertyValue)
ZEK_NOT_AVAILABLE(vtoIsPSDirty)
ZEK_NOT_AVAILABLE(vtoIsPSValid)
ZEK_NOT_AVAILABLE(vtoCommitChanges)
ZEK_NOT_AVAILABLE(vtoGetFileSpec)
ZEK_NOT_AVAILABLE(vtoGetGPSFlags)
ZEK_NOT_AVAILABLE(vtoIsSupported)
ZEK_NOT_AVAILABLE(vtoGetPropertyDescription)
ZEK_NOT_AVAILABLE(vtoIsDebugBuild)
#undef ZEK_NOT_AVAILABLE

} // namespace zekextender
