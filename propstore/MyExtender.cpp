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
    // Its failure keeps nothing from working (a thread in the multithreaded apartment answers
    // RPC_E_CHANGED_MODE and can still open stores): the binding below decides.
    oleInitialised = SUCCEEDED(OleInitialize(nullptr));
    oleThread = GetCurrentThreadId();
    propertySystemReady = PropertySystem.Load() == StatusSuccess;
}

CMyExtender::~CMyExtender() {
    if (ProcessEnding) {
        // The libraries the property system loaded after this module may be detached already:
        // no Release, no FreeLibrary, no OleUninitialize; the system reclaims everything.
        stores.Abandon();
        PropertySystem.Abandon();
        return;
    }
    stores.Clear(); // released uncommitted
    PropertySystem.Unload();
    propertySystemReady = false;
    // Only the initialising thread may balance it; on any other thread that would take away
    // one of the host's own initialisations. Left, it costs one reference on that thread.
    if (oleInitialised && GetCurrentThreadId() == oleThread) {
        OleUninitialize();
    }
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
