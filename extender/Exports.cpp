// The module's exports: DllMain and the host's two entry points.
#include "extender/Exports.h"

#include "extender/ZEKExtender.h"

using namespace zekextender;

// MinGW's start-up code calls this before the static objects' destructors on detach, so they
// see ProcessEnding. A non-null reserved pointer on detach means the process is ending.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        ModuleHandle = instance;
    } else if (reason == DLL_PROCESS_DETACH) {
        ModuleHandle = nullptr;
        ProcessEnding = reserved != nullptr;
    }
    return TRUE;
}

extern "C" std::int32_t ZEKExtenderQueryW(std::int16_t query, INT_PTR first,
                                          INT_PTR second) noexcept {
    if (TheExtender == nullptr) {
        return 0;
    }
    try {
        switch (query) {
        case QueryExtenderInfo:
            return TheExtender->GetExtenderInfo(reinterpret_cast<WCHAR*>(first), second);
        case QueryInterfaceVersion:
            return TheExtender->NegotiateInterfaceVersion(
                reinterpret_cast<const std::uint32_t*>(first), second);
        default:
            return 0;
        }
    } catch (...) {
        // Nothing in either query throws today (the version read catches its own memory
        // failure); should an overridden one, the host sees no answer, never an exception.
        return 0;
    }
}

extern "C" std::int32_t ZEKExtender2W(INT_PTR hostParam1, INT_PTR hostParam2,
                                      std::uint32_t callCookie, std::int16_t functionId,
                                      ReturnCallback returnCallback, HostServices* hostServices,
                                      INT_PTR hostParam3, void* data, std::uint32_t index,
                                      HostValue* result) noexcept {
    CZEKExtender* const extender = TheExtender;
    if (extender == nullptr) {
        return 0;
    }
    extender->BeginCall(callCookie, returnCallback, hostServices, result, functionId);
    // An ordinary call's id indexes the table; everything else goes to AnswerRequest. Both
    // keep their exceptions in and take the same arguments, so the call is handed over
    // without a frame of its own and the answer goes straight back to the host.
    return extender->DirectHandler(functionId)(*extender, hostParam1, hostParam2, hostParam3, data,
                                               index);
}
