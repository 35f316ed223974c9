// A minimal host for unit tests: one services table, one result record, and a callback
// that records every delivery.
#pragma once

#include "extender/Exports.h"
#include "extender/HostInterface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zektest {

using zekextender::HostServices;
using zekextender::HostValue;

struct Delivery {
    std::int32_t resultCode;
    std::uint32_t cookie;
    std::uint32_t type;
    std::int32_t intValue;
    std::string narrow; // copied text of a narrow string
    WString wide;       // copied text of a wide string
};

class HostHarness {
public:
    HostHarness() {
        services.interfaceVersion = 1005;
        Current() = this;
    }
    ~HostHarness() { Current() = nullptr; }

    // Calls function id with the given arguments; returns what the entry point returned.
    std::int32_t Call(std::int16_t functionId, std::vector<HostValue> arguments = {},
                      std::uint32_t index = 0) {
        return ZEKExtender2W(0, 0, cookie, functionId, &HostHarness::Callback, &services, 0,
                             arguments.empty() ? nullptr : arguments.data(), index, &result);
    }

    static HostValue Integer(std::int32_t value, std::uint32_t type = 1) {
        HostValue v{};
        v.type = type;
        v.intValue = value;
        return v;
    }
    static HostValue Wide(const WCHAR* text, std::uint32_t type = 0x80) {
        HostValue v{};
        v.type = type;
        v.text = const_cast<WCHAR*>(text);
        return v;
    }

    static std::int32_t Callback(std::int32_t code, std::uint32_t cookie, HostServices*,
                                 HostValue* value) {
        HostHarness& host = *Current();
        Delivery d{code, cookie, value->type, value->intValue, {}, {}};
        if (value->type == 2 && value->text != nullptr) {
            d.narrow = static_cast<const char*>(value->text);
        }
        if ((value->type & 0x80) != 0 && value->text != nullptr) {
            d.wide = static_cast<const WCHAR*>(value->text);
        }
        host.deliveries.push_back(d);
        return host.callbackReturn;
    }

    static HostHarness*& Current() {
        static HostHarness* current = nullptr;
        return current;
    }

    HostServices services{};
    HostValue result{};
    std::uint32_t cookie = 0x5eed;
    std::int32_t callbackReturn = 0;
    std::vector<Delivery> deliveries;
};

// UTF-16 text of an ASCII string, for comparisons.
inline WString Utf16(const std::string& ascii) {
    return WString(ascii.begin(), ascii.end());
}

} // namespace zektest
