// The framework's result operations, as a handler uses them: each fills the host's record with
// its type and payload and hands it to the callback once; with no callback or no record to
// write to, each answers -1 and touches nothing.
#include "extender/ZEKExtender.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using zekextender::HostServices;
using zekextender::HostValue;
using zekextender::TheExtender;

struct Seen {
    int calls = 0;
    std::int32_t resultCode = 0;
    std::uint32_t cookie = 0;
    HostValue value{};
    std::string narrow;
    WString wide;
};

Seen seen;

std::int32_t Record(std::int32_t code, std::uint32_t cookie, HostServices*, HostValue* value) {
    ++seen.calls;
    seen.resultCode = code;
    seen.cookie = cookie;
    seen.value = *value;
    if (value->type == zekextender::HostValueNarrowString && value->text != nullptr) {
        seen.narrow = static_cast<const char*>(value->text);
    }
    if ((value->type & zekextender::HostValueWideString) != 0 && value->text != nullptr) {
        seen.wide = static_cast<const WCHAR*>(value->text);
    }
    return 77;
}

const std::uint8_t Block[24] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};

struct OperationCase {
    const char* name;
    std::function<std::int32_t()> operation;
    std::uint32_t type;
    std::function<void()> check; // the payload, once delivered
};

const std::vector<OperationCase>& Cases() {
    static const std::vector<OperationCase> cases = {
        {"integer", [] { return TheExtender->ReturnInteger(-42); }, 1,
         [] { EXPECT_EQ(seen.value.intValue, -42); }},
        {"bool", [] { return TheExtender->ReturnBool(true); }, 1,
         [] { EXPECT_EQ(seen.value.intValue, 1); }},
        {"float", [] { return TheExtender->ReturnFloat(-0.25); }, 0x20,
         [] { EXPECT_EQ(seen.value.floatValue, -0.25); }},
        {"block", [] { return TheExtender->ReturnBlockValue(Block); }, 0x200,
         [] { EXPECT_EQ(std::memcmp(seen.value.block, Block, sizeof Block), 0); }},
        {"narrow object", [] { return TheExtender->ReturnString(std::string("na\xefve")); }, 2,
         [] { EXPECT_EQ(seen.narrow, "na\xefve"); }},
        {"narrow pointer", [] { return TheExtender->ReturnString("text"); }, 2,
         [] { EXPECT_EQ(seen.narrow, "text"); }},
        {"wide object", [] { return TheExtender->ReturnString(WString(U16("w\xe9\xd800"))); }, 0x80,
         [] { EXPECT_EQ(seen.wide, WString(U16("w\xe9\xd800"))); }},
        {"wide pointer", [] { return TheExtender->ReturnString(U16("wide")); }, 0x80,
         [] { EXPECT_EQ(seen.wide, WString(U16("wide"))); }},
        {"error", [] { return TheExtender->ReturnError(-1, 9); }, 2,
         [] {
             EXPECT_EQ(seen.resultCode, -1);
             EXPECT_EQ(seen.narrow, "9: ZXVTO38R: An input parameter value is invalid.");
         }},
        {"error without allocation",
         [] { return TheExtender->ReturnErrorWithoutAllocation(-1, 20); }, 2,
         [] {
             EXPECT_EQ(seen.resultCode, -1);
             EXPECT_EQ(seen.narrow, "20: ZXVTO38R: Failed to allocate memory.");
         }},
    };
    return cases;
}

TEST(ResultOperations, DeliverTypeAndPayloadOnce) {
    HostServices services{};
    for (const OperationCase& test : Cases()) {
        SCOPED_TRACE(test.name);
        seen = Seen{};
        HostValue result{};
        TheExtender->BeginCall(0x1234, &Record, &services, &result, 3);
        EXPECT_EQ(test.operation(), 77) << "the callback's answer is passed on";
        ASSERT_EQ(seen.calls, 1);
        EXPECT_EQ(seen.cookie, 0x1234u);
        EXPECT_EQ(seen.value.type, test.type);
        EXPECT_TRUE(TheExtender->ResultDelivered());
        if (std::strncmp(test.name, "error", 5) != 0) {
            EXPECT_EQ(seen.resultCode, 0) << "only an error carries a result code";
        }
        test.check();
    }
}

TEST(ResultOperations, WithoutCallbackOrRecordNothingIsDelivered) {
    HostServices services{};
    for (const OperationCase& test : Cases()) {
        SCOPED_TRACE(test.name);
        seen = Seen{};
        HostValue result{};
        result.type = 0xABCD;
        TheExtender->BeginCall(1, nullptr, &services, &result, 3);
        EXPECT_EQ(test.operation(), -1);
        EXPECT_EQ(result.type, 0xABCDu) << "the record is left alone";
        TheExtender->BeginCall(1, &Record, &services, nullptr, 3);
        EXPECT_EQ(test.operation(), -1);
        EXPECT_EQ(seen.calls, 0);
        EXPECT_FALSE(TheExtender->ResultDelivered());
    }
}

// The variable service wrapper passes the host's context and the record size through.
TEST(ResultOperations, VariableHandlerReachesTheHostService) {
    static void* seenContext = nullptr;
    static std::uint32_t seenSize = 0;
    HostServices services{};
    int context = 0;
    services.context = &context;
    services.variableService = [](void* ctx, void*, HostValue* value, std::uint32_t size,
                                  std::int32_t operation) -> std::int32_t {
        seenContext = ctx;
        seenSize = size;
        value->intValue = 5;
        return operation + 100;
    };
    HostValue result{};
    TheExtender->BeginCall(1, &Record, &services, &result, 3);
    HostValue value{};
    int first = 0;
    EXPECT_EQ(TheExtender->VariableHandler(&first, value, 2), 102);
    EXPECT_EQ(seenContext, &context);
    EXPECT_EQ(seenSize, 56u);
    EXPECT_EQ(value.intValue, 5);
}

} // namespace
