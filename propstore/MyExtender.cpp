#include "propstore/MyExtender.h"

#include "extender/HostArguments.h"
#include "properties/binding/PropertySystemApi.h"
#include "status/StatusCode.h"

#include <new>

namespace zekextender {

// Runs while the module loads, where no exception may escape into the host's loader. What
// cannot be built for want of memory stays empty and shows later as a status code: without
// its names the extender still answers, without its binding every property operation is 95.
CMyExtender::CMyExtender() {
    TheExtender = this;
    try {
        shortName = U16("ZXVTO38R");
        description = U16("Vantoro Extender");
    } catch (const std::bad_alloc&) {
        shortName.clear();
        description.clear();
    }
    OleInitialize(nullptr); // its result changes nothing: the binding below decides
    propertySystemReady = PropertySystem.Load() == StatusSuccess;
}

CMyExtender::~CMyExtender() {
    stores.Clear(); // released uncommitted
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

std::int32_t CMyExtender::ReturnText(const WCHAR* text) {
    HostValue value = ZeroHostValue();
    value.type = HostValueWideString;
    value.text = const_cast<WCHAR*>(text);
    return ReturnValue(value);
}

} // namespace zekextender
