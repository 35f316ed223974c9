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

// Runs the function at functionId; ids outside the table are refused with 0.
std::int32_t CallFunction(std::int16_t functionId, INT_PTR hostParam1, INT_PTR hostParam2,
                          INT_PTR hostParam3, void* data, std::uint32_t index) {
    const FunctionEntry* table = TheExtender->GetFunctionTable();
    if (table == nullptr || functionId < 0) {
        return 0;
    }
    for (std::int16_t i = 0; i < functionId; ++i) {
        if (table[i].id == FunctionEntryTerminator) {
            return 0;
        }
    }
    const FunctionEntry& entry = table[functionId];
    if (entry.id == FunctionEntryTerminator || entry.handler == nullptr) {
        return 0;
    }
    return (TheExtender->*entry.handler)(hostParam1, hostParam2, hostParam3, data, index);
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
    if (TheExtender == nullptr) {
        return 0;
    }
    TheExtender->BeginCall(callCookie, returnCallback, hostServices, result, functionId);
    try {
        switch (functionId) {
        case RequestFunctionCount:
            return TheExtender->GetFunctionCount(hostParam1, hostParam2, hostParam3, data, index);
        case RequestFunctionDefinition:
            return TheExtender->GetFunctionDefinition(hostParam1, hostParam2, hostParam3, data,
                                                      index);
        case RequestAcknowledge:
            return TheExtender->AcknowledgeRequest(hostParam1, hostParam2, hostParam3, data, index);
        default:
            return CallFunction(functionId, hostParam1, hostParam2, hostParam3, data, index);
        }
    } catch (const std::bad_alloc&) {
        return AnswerAfterException(functionId, StatusOutOfMemory);
    } catch (...) {
        return AnswerAfterException(functionId, StatusExceptionConverted);
    }
}
