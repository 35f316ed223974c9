#include "GuardedExtender.h"

#include "FailingAllocator.h"

namespace zeksweep {
namespace {

using zekextender::HostServices;
using zekextender::HostValue;
using zekextender::ReturnCallback;

zekhost::ExtenderApi extender;
std::size_t callsMade = 0;
std::size_t targetCall = SIZE_MAX;
std::size_t failAt = 0;
bool inTarget = false;
std::size_t counted = 0; // allocations the target call made
bool failed = false;

std::int32_t functionCount = -1;
std::int16_t openId = -100;
std::vector<std::string> faults;
std::uint32_t highestHandle = 0;

// The host's table and callback for the call in progress, and the table the extender sees.
ReturnCallback hostCallback = nullptr;
HostServices* hostServices = nullptr;
HostServices shownServices{};
int deliveries = 0;
std::int16_t currentId = 0;

std::int32_t Callback(std::int32_t resultCode, std::uint32_t cookie, HostServices* services,
                      HostValue* result) {
    zektest::AllocationFailurePause hostTurn;
    ++deliveries;
    if (resultCode == 0 && result != nullptr && currentId == openId &&
        result->type == zekextender::HostValueInteger && result->intValue > 0) {
        const auto handle = static_cast<std::uint32_t>(result->intValue);
        highestHandle = handle > highestHandle ? handle : highestHandle;
    }
    return hostCallback(resultCode, cookie, services == &shownServices ? hostServices : services,
                        result);
}

std::int32_t Variable(void* context, void* first, HostValue* value, std::uint32_t size,
                      std::int32_t operation) {
    zektest::AllocationFailurePause hostTurn;
    return hostServices->variableService(context, first, value, size, operation);
}

std::int32_t Element(void* context, HostValue* array, std::int32_t s1, std::int32_t s2,
                     std::int32_t s3, std::int32_t s4, std::int32_t s5, HostValue* element,
                     std::uint32_t size, std::int32_t operation) {
    zektest::AllocationFailurePause hostTurn;
    return hostServices->arrayElementService(context, array, s1, s2, s3, s4, s5, element, size,
                                             operation);
}

std::int32_t Array(void* context, HostValue* value, std::uint32_t size,
                   zekextender::ArrayDimensions* dimensions, std::uint32_t dimensionsSize,
                   std::int32_t operation) {
    zektest::AllocationFailurePause hostTurn;
    return hostServices->arrayService(context, value, size, dimensions, dimensionsSize, operation);
}

std::int32_t Query(std::int16_t query, INT_PTR first, INT_PTR second) {
    try {
        return extender.query(query, first, second);
    } catch (...) {
        faults.push_back("an exception left ZEKExtenderQueryW");
        return 0;
    }
}

std::int32_t Call(INT_PTR hostParam1, INT_PTR hostParam2, std::uint32_t callCookie,
                  std::int16_t functionId, ReturnCallback returnCallback, HostServices* services,
                  INT_PTR hostParam3, void* data, std::uint32_t index, HostValue* result) {
    const std::size_t number = callsMade++;
    hostCallback = returnCallback;
    hostServices = services;
    if (services != nullptr) {
        shownServices = *services;
        shownServices.variableService = &Variable;
        shownServices.arrayElementService = &Element;
        shownServices.arrayService = &Array;
    }
    deliveries = 0;
    currentId = functionId;
    inTarget = number == targetCall;
    if (inTarget) {
        zektest::ArmAllocationFailure(failAt, false);
    }
    std::int32_t returned = 0;
    try {
        returned = extender.call(hostParam1, hostParam2, callCookie, functionId, &Callback,
                                 services != nullptr ? &shownServices : nullptr, hostParam3, data,
                                 index, result);
    } catch (...) {
        faults.push_back("an exception left ZEKExtender2W (function id " +
                         std::to_string(functionId) + ")");
    }
    if (inTarget) {
        failed = zektest::AllocationFailureHappened();
        counted = zektest::DisarmAllocationFailure();
        inTarget = false;
    }
    const bool namesFunction = functionId >= 0 && functionId < functionCount;
    if (functionCount >= 0 && deliveries != (namesFunction ? 1 : 0)) {
        faults.push_back("function id " + std::to_string(functionId) + " delivered " +
                         std::to_string(deliveries) + " results");
    }
    return returned;
}

} // namespace

zekhost::ExtenderApi GuardedApi(const zekhost::ExtenderApi& api) {
    extender = api;
    return {&Query, &Call};
}

std::size_t CallsMade() {
    return callsMade;
}

void TargetCall(std::size_t call, std::size_t allocation) {
    targetCall = call;
    failAt = allocation;
    counted = 0;
    failed = false;
}

std::size_t AllocationsInTarget() {
    return counted;
}

bool TargetFailed() {
    return failed;
}

void SetFunctionCount(std::int32_t count, std::int16_t open) {
    functionCount = count;
    openId = open;
}

const std::vector<std::string>& BoundaryFaults() {
    return faults;
}

std::uint32_t HighestIssuedHandle() {
    return highestHandle;
}

} // namespace zeksweep
