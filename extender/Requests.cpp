// What ZEKExtender2W answers besides an ordinary call. Kept apart from the entry point, so that
// the exception barrier here adds nothing to the way of an ordinary call.
#include "extender/Requests.h"

#include "extender/ZEKExtender.h"

#include <new>

namespace zekextender {

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
            return entry->handler(*extender, hostParam1, hostParam2, hostParam3, data, index);
        }
        return 0;
    }
}

} // namespace

std::int32_t AnswerRequest(CZEKExtender& extender, INT_PTR hostParam1, INT_PTR hostParam2,
                           INT_PTR hostParam3, void* data, std::uint32_t index) noexcept {
    const std::int16_t functionId = extender.CallFunctionId();
    try {
        return Answer(&extender, functionId, hostParam1, hostParam2, hostParam3, data, index);
    } catch (const std::bad_alloc&) {
        // A special request answers with a number, not a result: it has none to give. A
        // function whose table could not be read answers with an error.
        return functionId >= 0 ? extender.AnswerAfterException(StatusOutOfMemory) : -1;
    } catch (...) {
        return functionId >= 0 ? extender.AnswerAfterException(StatusExceptionConverted) : -1;
    }
}

} // namespace zekextender
