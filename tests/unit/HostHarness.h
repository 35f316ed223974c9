// A minimal host for unit tests: one services table, one result record, and a callback
// that records every delivery.
#pragma once

#include "FailingAllocator.h"
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
    // The arguments are taken by reference, so a call copies nothing of its own.
    std::int32_t Call(std::int16_t functionId, const std::vector<HostValue>& arguments = {},
                      std::uint32_t index = 0) {
        void* data = arguments.empty() ? nullptr : const_cast<HostValue*>(arguments.data());
        return entry(0, 0, cookie, functionId, &HostHarness::Callback, &services, 0, data, index,
                     &result);
    }

    // The id of a function, found by its name (any case) as a host finds it: through the
    // count and the definitions. -1 when no definition has the name.
    std::int16_t FunctionId(const std::string& name) {
        const std::int32_t count = Call(zekextender::RequestFunctionCount);
        for (std::int32_t index = 0; index < count; ++index) {
            zekextender::FunctionDefinition definition{};
            if (entry(0, 0, cookie, zekextender::RequestFunctionDefinition, &HostHarness::Callback,
                      &services, 0, &definition, static_cast<std::uint32_t>(index), &result) == 1 &&
                SameNameIgnoringCase(definition.name, name)) {
                return static_cast<std::int16_t>(index);
            }
        }
        return -1;
    }

    // Calls a function by its name.
    std::int32_t Call(const std::string& name, const std::vector<HostValue>& arguments = {}) {
        return Call(FunctionId(name), arguments);
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
        zektest::AllocationFailurePause hostSide; // the host's memory is not under test
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

    static bool SameNameIgnoringCase(const WCHAR* wide, const std::string& ascii) {
        auto lower = [](unsigned c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
        std::size_t i = 0;
        for (; wide[i] != 0 && i < ascii.size(); ++i) {
            if (lower(static_cast<unsigned char>(ascii[i])) != lower(wide[i])) {
                return false;
            }
        }
        return wide[i] == 0 && i == ascii.size();
    }

    static HostHarness*& Current() {
        static HostHarness* current = nullptr;
        return current;
    }

    ZEKExtender2WFn entry = &ZEKExtender2W; // another module's entry point, for its tests
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
