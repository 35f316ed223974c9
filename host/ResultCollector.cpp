#include "host/ResultCollector.h"

#include <new>

namespace zekhost {
namespace {

ResultCollector* activeCollector = nullptr;

} // namespace

ResultCollector::ResultCollector() {
    activeCollector = this;
}

ResultCollector::~ResultCollector() {
    if (activeCollector == this) {
        activeCollector = nullptr;
    }
}

void ResultCollector::Begin(const zekextender::HostServices* services) {
    activeCollector = this;
    services_ = services;
    deliveries_.clear();
}

std::int32_t ResultCollector::Callback(std::int32_t resultCode, std::uint32_t callCookie,
                                       zekextender::HostServices* services,
                                       zekextender::HostValue* result) {
    if (activeCollector == nullptr) {
        return -1;
    }
    return activeCollector->Receive(resultCode, callCookie, services, result);
}

std::int32_t ResultCollector::Receive(std::int32_t resultCode, std::uint32_t callCookie,
                                      const zekextender::HostServices* services,
                                      const zekextender::HostValue* result) {
    // The result's strings belong to the extender and are gone once this returns, so the
    // copy happens here. Nothing may unwind into the extender.
    try {
        Delivery delivery;
        delivery.resultCode = resultCode;
        delivery.callCookie = callCookie;
        delivery.foreignServices = services != services_;
        delivery.nullResult = result == nullptr;
        if (result != nullptr) {
            delivery.value = OwnedValue::Capture(*result);
        }
        deliveries_.push_back(std::move(delivery));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return callbackReturn_;
}

} // namespace zekhost
