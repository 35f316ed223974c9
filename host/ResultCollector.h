// The host's ReturnCallback: copies every result it is handed, counts the deliveries and
// answers with a configurable value.
#pragma once

#include "host/OwnedValue.h"

#include <cstdint>
#include <vector>

namespace zekhost {

struct Delivery {
    std::int32_t resultCode = 0;
    std::uint32_t callCookie = 0;
    bool nullResult = false;      // the extender passed no result record
    bool foreignServices = false; // not the services table of the call
    OwnedValue value;
};

class ResultCollector {
public:
    ResultCollector();
    ~ResultCollector();
    ResultCollector(const ResultCollector&) = delete;
    ResultCollector& operator=(const ResultCollector&) = delete;

    // Starts a call: forgets earlier deliveries.
    void Begin(const zekextender::HostServices* services);

    void SetCallbackReturn(std::int32_t value) { callbackReturn_ = value; }
    std::int32_t CallbackReturn() const { return callbackReturn_; }

    const std::vector<Delivery>& Deliveries() const { return deliveries_; }

    // The function handed to the extender. It reaches the collector of the call in progress;
    // one collector is active at a time, as the extender is called one call at a time.
    static std::int32_t Callback(std::int32_t resultCode, std::uint32_t callCookie,
                                 zekextender::HostServices* services,
                                 zekextender::HostValue* result);

private:
    std::int32_t Receive(std::int32_t resultCode, std::uint32_t callCookie,
                         const zekextender::HostServices* services,
                         const zekextender::HostValue* result);

    std::vector<Delivery> deliveries_;
    const zekextender::HostServices* services_ = nullptr;
    std::int32_t callbackReturn_ = 0;
};

} // namespace zekhost
