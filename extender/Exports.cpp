// The module's exports: DllMain and the host's two entry points.
#include "extender/Exports.h"

#include "extender/ZEKExtender.h"

#include <new>

using namespace zekextender;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ModuleHandle = instance;
    } else if (reason == DLL_PROCESS_DETACH) {
        ModuleHandle = nullptr;
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
        // Only memory can run out here (the version number is computed on the way); the
        // host sees no number yet and asks again later.
        return 0;
    }
}

namespace {

// Everything but a call of a known function: the special requests, and the functions of a
// table not read yet. Ids outside the table are refused with 0.
std::int32_t Answer(CZEKExtender* extender, std::int16_t functionId, INT_PTR hostParam1,
                    INT_PTR hostParam2, INT_PTR hostParam3, void* data, std::uint32_t index) {
    switch (functionId) {
    case RequestFunctionCount:
        return extender->GetFunctionCount(hostParam1, hostParam2, hostParam3, data, index);
    case RequestFunctionDefinition:
        return extender->GetFunctionDefinition(hostParam1, hostParam2, hostParam3, data, index);
    case RequestAcknowledge:
        return extender->AcknowledgeRequest(hostParam1, hostParam2, hostParam3, data, index);
    default:
        if (const FunctionEntry* entry = extender->FunctionAt(functionId)) {
            return (extender->*entry->handler)(hostParam1, hostParam2, hostParam3, data, index);
        }
        return 0;
    }
}

// Nothing may unwind into the host. A function that failed before answering answers now with
// an error; one that had answered already keeps that answer.
std::int32_t AnswerAfterException(std::int16_t functionId, StatusCode status) noexcept {
    if (functionId >= 0 && !TheExtender->ResultDelivered()) {
        return TheExtender->ReturnErrorWithoutAllocation(ErrorResult, status);
    }
    return -1;
}

} // namespace

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
    try {
        // The one test on the way of an ordinary call: the id indexes the table.
        if (const FunctionEntry* entry = extender->KnownFunction(functionId)) {
            return (extender->*entry->handler)(hostParam1, hostParam2, hostParam3, data, index);
        }
        return Answer(extender, functionId, hostParam1, hostParam2, hostParam3, data, index);
    } catch (const std::bad_alloc&) {
        return AnswerAfterException(functionId, StatusOutOfMemory);
    } catch (...) {
        return AnswerAfterException(functionId, StatusExceptionConverted);
    }
}
