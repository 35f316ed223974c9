// Answers that need no memory take none: integer results, errors and error texts go to the
// host without a single allocation, and translation allocates nothing.
#include "HostHarness.h"
#include "extender/ZEKExtender.h"
#include "status/NativeErrorTranslation.h"

#include <gtest/gtest.h>

#include <vector>

using zektest::AllocationFailure;
using zektest::HostHarness;

TEST(AllocationFreeCalls, IntegerResultsErrorsAndErrorTexts) {
    HostHarness host;
    struct Case {
        const char* function;
        std::vector<zekextender::HostValue> arguments;
        std::int32_t resultCode;
    };
    const Case cases[] = {
        {"vtoVersion", {}, 0},
        {"vtoIsDebugBuild", {}, 0},
        {"vtoIsSupported", {}, 0},
        {"vtoIsPSValid", {HostHarness::Integer(4711)}, 0},         // unknown: false
        {"vtoIsPSDirty", {HostHarness::Integer(4711)}, -1},        // unknown handle
        {"vtoGetGPSFlags", {HostHarness::Integer(0)}, -1},         // never a handle
        {"vtoClosePS", {HostHarness::Wide(U16("1"))}, -1},         // not an integer
        {"vtoGetPropertyValue", {HostHarness::Integer(1, 3)}, -1}, // not an integer
        {"vtoGetErrorText", {HostHarness::Integer(9)}, 0},         // catalogue
        {"vtoGetErrorText", {HostHarness::Integer(903)}, 0},       // framework
        {"vtoGetErrorText", {HostHarness::Integer(225)}, 0},       // none: empty
        {"vtoGetErrorText", {HostHarness::Wide(U16("9"))}, -1},    // not an integer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        const std::int16_t id = host.FunctionId(c.function);
        ASSERT_GE(id, 0);
        host.deliveries.clear();
        {
            AllocationFailure counting(0);
            host.Call(id, c.arguments);
            EXPECT_EQ(counting.Count(), 0u);
        }
        ASSERT_EQ(host.deliveries.size(), 1u);
        EXPECT_EQ(host.deliveries[0].resultCode, c.resultCode);
    }
}

TEST(AllocationFreeCalls, Translation) {
    AllocationFailure counting(0);
    for (std::uint32_t value : {0u, 2u, 5u, 2221u, 0x80070002u, 0xC0000034u, 0xFFFFFFFFu}) {
        for (std::uint32_t source : {1u, 2u, 4u, 8u, 16u, 32u, 1024u}) {
            TranslateNativeError(static_cast<ErrorSource>(source), value, false);
        }
    }
    EXPECT_EQ(counting.Count(), 0u);
}
