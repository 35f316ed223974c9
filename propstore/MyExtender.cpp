#include "propstore/MyExtender.h"

#include "propstore/PropertySystemApi.h"
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
    OleInitialize(nullptr); // its result changes nothing: the binding below decides
    propertySystemReady = PropertySystem.Load() == StatusSuccess;
}

CMyExtender::~CMyExtender() {
    PropertySystem.Unload();
    propertySystemReady = false;
    OleUninitialize();
}

FunctionEntry* CMyExtender::GetFunctionTable() {
    return FunctionTable;
}

FunctionEntry* CMyExtender::GetAltFunctionTable() {
    return FunctionTable;
}

std::int32_t CMyExtender::ReturnNotAvailable() {
    return ReturnError(ErrorResult, StatusCannotService);
}

// Functions over property stores: not available yet.
#define ZEK_NOT_AVAILABLE(name)                                                                    \
    std::int32_t CMyExtender::name(INT_PTR, INT_PTR, INT_PTR, void*, std::uint32_t) {              \
        return ReturnNotAvailable();                                                               \
    }
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
#undef ZEK_NOT_AVAILABLE

} // namespace zekextender
