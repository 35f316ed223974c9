// A minimal host for the benchmarks: it loads the extender and the stand-in property system,
// answers the handshake, and calls the extender's functions through ZEKExtender2W with a
// callback and host services that do as little as a host can. Beside it, the property-system
// entry points the extender binds, resolved from the same stand-in, for the bare calls.
#pragma once

#include "extender/HostInterface.h"
#include "platform/platform.h"

#include <cstdint>
#include <map>
#include <string>

namespace zekbench {

using zekextender::HostServices;
using zekextender::HostValue;
using zekextender::ReturnCallback;

// The property-system calls of the extender's paths, as the stand-in exports them.
struct PropertySystemCalls {
    decltype(&::SHGetPropertyStoreFromParsingName) openStore = nullptr;
    decltype(&::PSGetPropertyKeyFromName) keyFromName = nullptr;
    decltype(&::PSGetNameFromPropertyKey) nameFromKey = nullptr;
    decltype(&::PSFormatForDisplayAlloc) formatForDisplayAlloc = nullptr;
    decltype(&::PropVariantClear) propVariantClear = nullptr;
    decltype(&::CoTaskMemFree) taskMemFree = nullptr;
};

class BenchHost {
public:
    // Loads both libraries from the program's folder and runs the handshake. False with a
    // message when something is missing.
    bool Load(std::string& error);

    // The function id of a script function, from the host's handshake.
    std::int16_t Id(const char* name) const;

    // One call through ZEKExtender2W; the result lands in Result().
    std::int32_t Call(std::int16_t id, HostValue* arguments) {
        return extender2W_(0, 0, ++cookie_, id, callback_, &services_, 0, arguments, 0, &result_);
    }

    // The same call through another entry point of ZEKExtender2W's type.
    std::int32_t CallThrough(ZEKExtender2WFn entry, std::int16_t id, HostValue* arguments) {
        return entry(0, 0, ++cookie_, id, callback_, &services_, 0, arguments, 0, &result_);
    }

    // What the extender's delivery amounts to at the least: the host's callback, called
    // through its pointer with this host's services and result record.
    std::int32_t BareCallback() {
        ReturnCallback callback = callback_;
        return callback(0, ++cookie_, &services_, &result_);
    }

    HostServices& Services() { return services_; }
    HostValue& Result() { return result_; }
    const PropertySystemCalls& PropertySystem() const { return calls_; }

    // A command of the stand-in's control interface; its reply. A refused command stops the
    // program: every command here is expected to work.
    std::string Standin(const std::string& command);

private:
    ZEKExtenderQueryWFn queryW_ = nullptr;
    ZEKExtender2WFn extender2W_ = nullptr;
    void* control_ = nullptr;
    ReturnCallback callback_ = nullptr;
    HostServices services_{};
    HostValue result_{};
    std::uint32_t cookie_ = 0;
    std::map<std::string, std::int16_t> ids_;
    PropertySystemCalls calls_;
};

// Argument records.
HostValue IntegerValue(std::int32_t value);
HostValue StringValue(const WCHAR* text);

} // namespace zekbench
