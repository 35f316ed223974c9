#include "host/HostSession.h"

namespace zekhost {
namespace {

// Planted in the result's host-only field; an extender must leave it alone.
void* const ReservedMark = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x5A4B484F5354));

} // namespace

HostSession::HostSession(const ExtenderApi& api, std::uint32_t hostVersion) : api_(api) {
    services_.interfaceVersion = hostVersion;
    storage_.Install(services_);
}

std::int32_t HostSession::Query(std::int16_t code, INT_PTR first, INT_PTR second) const {
    return api_.query(code, first, second);
}

CallOutcome HostSession::Send(std::int16_t functionId, void* data, std::uint32_t index) {
    CallOutcome outcome;
    outcome.callCookie = nextCookie_++;
    zekextender::HostValue result{};
    result.hostReserved = ReservedMark;
    results_.Begin(&services_);
    outcome.returned = api_.call(0, 0, outcome.callCookie, functionId, &ResultCollector::Callback,
                                 &services_, 0, data, index, &result);
    outcome.callbackReturn = results_.CallbackReturn();
    outcome.deliveries = results_.Deliveries();
    outcome.badReleases = storage_.TakeBadReleases();
    outcome.reservedFieldWritten = result.hostReserved != ReservedMark;
    return outcome;
}

} // namespace zekhost
