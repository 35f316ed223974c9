// One host talking to one loaded extender: the services table, the storage behind it, the
// result callback and the call sequence numbers (call cookies).
#pragma once

#include "host/HostStorage.h"
#include "host/ResultCollector.h"

#include <cstdint>
#include <vector>

namespace zekhost {

// The extender's two entry points.
struct ExtenderApi {
    ZEKExtenderQueryWFn query = nullptr;
    ZEKExtender2WFn call = nullptr;
};

// What came back from one ZEKExtender2W call.
struct CallOutcome {
    std::int32_t returned = 0;
    std::uint32_t callCookie = 0;
    std::int32_t callbackReturn = 0; // what the callback answered during this call
    std::vector<Delivery> deliveries;
    int badReleases = 0;
    bool reservedFieldWritten = false; // the result's host-only field was touched
};

class HostSession {
public:
    HostSession(const ExtenderApi& api, std::uint32_t hostVersion);
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    HostStorage& Storage() { return storage_; }
    const HostStorage& Storage() const { return storage_; }
    ResultCollector& Results() { return results_; }

    void SetHostVersion(std::uint32_t version) { services_.interfaceVersion = version; }

    std::int32_t Query(std::int16_t code, INT_PTR first, INT_PTR second) const;

    // ZEKExtender2W with this session's callback, services and a fresh result record.
    CallOutcome Send(std::int16_t functionId, void* data, std::uint32_t index);

private:
    ExtenderApi api_;
    HostStorage storage_;
    ResultCollector results_;
    zekextender::HostServices services_{};
    std::uint32_t nextCookie_ = 1;
};

} // namespace zekhost
