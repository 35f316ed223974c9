// Store functions whose memory runs out part-way through: each call still answers exactly
// once, and leaves every record and handle either as it was or as a complete success would,
// never a mix of the two. Each test fails the n-th allocation of one call, for every n.
#ifndef _WIN32

#include "FailingAllocator.h"
#include "HostHarness.h"
#include "StandinLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>

using zektest::Delivery;
using zektest::ForEachAllocationFailure;
using zektest::HostHarness;
using zektest::Utf16;

namespace {

constexpr std::int32_t ReadWrite = 2;

class StoreAllocationFailure : public standin_test::StandinTest {
protected:
    void SetUp() override {
        StandinTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        Command(R"(item "doc:oom" System.Title=lpwstr:"Alpha" System.Comment=lpwstr:"Note")");
        for (const char* name :
             {"vtoOpenPS", "vtoClosePS", "vtoCommitChanges", "vtoIsPSValid", "vtoIsPSDirty",
              "vtoGetFileSpec", "vtoGetGPSFlags", "vtoSetPropertyValue", "vtoGetPropertyNames"}) {
            ids[name] = host.FunctionId(name);
            ASSERT_GE(ids[name], 0) << name;
        }
    }
    // The extender outlives the test: whatever a failed test left open is closed.
    void TearDown() override {
        if (!IsSkipped()) {
            for (std::int32_t handle = 1; handle <= 8; ++handle) {
                host.Call(ids["vtoClosePS"], Handle(handle));
            }
        }
        StandinTest::TearDown();
    }

    // Calls a function (arguments prepared outside any arming) and returns its one answer.
    Delivery Answer(const char* name, const std::vector<zekextender::HostValue>& arguments) {
        const std::size_t before = host.deliveries.size();
        host.Call(ids.at(name), arguments);
        EXPECT_EQ(host.deliveries.size(), before + 1) << name << " must answer exactly once";
        return host.deliveries.size() > before ? host.deliveries.back() : Delivery{};
    }
    static std::vector<zekextender::HostValue> Handle(std::int32_t handle) {
        return {HostHarness::Integer(handle)};
    }
    std::int32_t OpenDocument(std::int32_t flags) {
        const Delivery d = Answer("vtoOpenPS", openArguments(flags));
        EXPECT_EQ(d.resultCode, 0) << d.narrow;
        return d.intValue;
    }
    std::vector<zekextender::HostValue> openArguments(std::int32_t flags) {
        return {HostHarness::Wide(document.c_str()), HostHarness::Integer(flags)};
    }
    void Close(std::int32_t handle) { EXPECT_EQ(Answer("vtoClosePS", Handle(handle)).intValue, 1); }
    // Handles 1, 2 and 3 on the document, then all of them up to `last` closed again.
    void OpenThree() {
        for (std::int32_t expected = 1; expected <= 3; ++expected) {
            ASSERT_EQ(OpenDocument(0), expected);
        }
    }
    void CloseUpTo(std::int32_t last) {
        for (std::int32_t handle = 1; handle <= last; ++handle) {
            Close(handle);
        }
    }

    // The state a script sees of a handle: valid, dirty, file spec and flags.
    struct Seen {
        std::int32_t valid, dirty;
        WString fileSpec;
        std::int32_t flags;
    };
    Seen Look(std::int32_t handle) {
        return {Answer("vtoIsPSValid", Handle(handle)).intValue,
                Answer("vtoIsPSDirty", Handle(handle)).intValue,
                Answer("vtoGetFileSpec", Handle(handle)).wide,
                Answer("vtoGetGPSFlags", Handle(handle)).intValue};
    }

    HostHarness host;
    std::map<std::string, std::int16_t> ids;
    const WString document = Utf16("doc:oom");
};

} // namespace

// A commit that runs out of memory while reopening leaves the record as Reset leaves it.
TEST_F(StoreAllocationFailure, CommitLeavesTheRecordReopenedOrReset) {
    // Everything the armed call needs is made beforehand: only the extender allocates in it.
    const std::int16_t commit = ids.at("vtoCommitChanges");
    const std::vector<zekextender::HostValue> first = Handle(1);
    std::int32_t handle = 0;
    const std::vector<zekextender::HostValue> write = {HostHarness::Integer(1),
                                                       HostHarness::Wide(U16("System.Title")),
                                                       HostHarness::Wide(U16("Beta"))};
    const std::size_t failures = ForEachAllocationFailure(
        [&] {
            handle = OpenDocument(ReadWrite);
            ASSERT_EQ(handle, 1);
            ASSERT_EQ(Answer("vtoSetPropertyValue", write).intValue, 1);
        },
        [&] { host.Call(commit, first); },
        [&](std::size_t n, bool failed) {
            SCOPED_TRACE(testing::Message() << "allocation " << n << " failed: " << failed);
            ASSERT_FALSE(host.deliveries.empty());
            const Delivery answer = host.deliveries.back();
            const Seen seen = Look(handle);
            if (answer.resultCode == 0) {
                EXPECT_EQ(answer.intValue, 1);
                EXPECT_EQ(seen.valid, 1);
                EXPECT_EQ(seen.dirty, 0);
                EXPECT_EQ(seen.fileSpec, document);
                EXPECT_EQ(seen.flags, ReadWrite);
            } else {
                EXPECT_EQ(seen.valid, 0);
                EXPECT_EQ(seen.dirty, 0);
                EXPECT_TRUE(seen.fileSpec.empty());
                EXPECT_EQ(seen.flags, 0);
                EXPECT_EQ(Answer("vtoSetPropertyValue", write).narrow.substr(0, 3), "13:");
                EXPECT_EQ(Answer("vtoCommitChanges", Handle(handle)).narrow.substr(0, 3), "13:");
            }
            Close(handle);
        });
    EXPECT_GT(failures, 0u);
}

// Closing a store that runs out of memory either closes it and frees its handle, or keeps it
// open under that handle.
TEST_F(StoreAllocationFailure, CloseClosesOrKeepsTheStore) {
    const std::int16_t close = ids.at("vtoClosePS");
    const std::vector<zekextender::HostValue> second = Handle(2);
    const std::size_t failures = ForEachAllocationFailure(
        [&] { OpenThree(); }, [&] { host.Call(close, second); },
        [&](std::size_t n, bool) {
            SCOPED_TRACE(testing::Message() << "allocation " << n);
            const Delivery answer = host.deliveries.back();
            const bool closed = answer.resultCode == 0;
            EXPECT_EQ(Answer("vtoIsPSValid", Handle(2)).intValue, closed ? 0 : 1);
            if (!closed) {
                EXPECT_EQ(answer.narrow.substr(0, 3), "20:");
                Close(2);
            }
            EXPECT_EQ(OpenDocument(0), 2) << "the smallest free handle";
            CloseUpTo(3);
        });
    EXPECT_GT(failures, 0u);
}

// Opening a store that runs out of memory consumes no handle.
TEST_F(StoreAllocationFailure, FailedOpenConsumesNoHandle) {
    const std::int16_t openId = ids.at("vtoOpenPS");
    const std::vector<zekextender::HostValue> open = openArguments(0);
    const std::size_t failures = ForEachAllocationFailure(
        [&] {
            OpenThree();
            Close(2);
        },
        [&] { host.Call(openId, open); },
        [&](std::size_t n, bool) {
            SCOPED_TRACE(testing::Message() << "allocation " << n);
            const Delivery answer = host.deliveries.back();
            if (answer.resultCode == 0) {
                EXPECT_EQ(answer.intValue, 2);
            } else {
                EXPECT_EQ(Answer("vtoIsPSValid", Handle(2)).intValue, 0);
                EXPECT_EQ(OpenDocument(0), 2) << "the smallest free handle";
            }
            EXPECT_EQ(OpenDocument(0), 4);
            CloseUpTo(4);
        });
    EXPECT_GT(failures, 0u);
}

// The names arrive as a one-dimensional array; an array the host cannot fill is released,
// with no dimensions, before the failure is reported.
TEST_F(StoreAllocationFailure, RefusedNameArrayIsReleasedBeforeTheFailure) {
    struct ArrayCall {
        std::int32_t operation;
        std::uint32_t size;
        std::array<std::uint32_t, 5> extents;
    };
    static std::vector<ArrayCall> calls;
    calls.clear();
    host.services.arrayService = [](void*, zekextender::HostValue* value, std::uint32_t,
                                    zekextender::ArrayDimensions* dimensions, std::uint32_t size,
                                    std::int32_t operation) -> std::int32_t {
        ArrayCall call{operation, size, {}};
        if (dimensions != nullptr) {
            std::copy(std::begin(dimensions->extent), std::end(dimensions->extent),
                      call.extents.begin());
        }
        calls.push_back(call);
        value->type = 0x100 | 0x80;
        return 0;
    };
    host.services.arrayElementService = [](void*, zekextender::HostValue*, std::int32_t,
                                           std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                           zekextender::HostValue*, std::uint32_t,
                                           std::int32_t) -> std::int32_t { return 1; };
    ASSERT_EQ(OpenDocument(0), 1);
    EXPECT_EQ(Answer("vtoGetPropertyNames", {HostHarness::Integer(1), HostHarness::Integer(1)})
                  .resultCode,
              -1);
    ASSERT_EQ(calls.size(), 2u);
    const std::array<std::uint32_t, 5> noExtents{};
    EXPECT_EQ(calls[0].operation, zekextender::ArrayCreate);
    EXPECT_EQ(calls[0].size, 20u);
    EXPECT_GT(calls[0].extents[0], 0u);
    EXPECT_TRUE(
        std::equal(calls[0].extents.begin() + 1, calls[0].extents.end(), noExtents.begin() + 1));
    EXPECT_EQ(calls[1].operation, zekextender::ArrayRelease);
    EXPECT_EQ(calls[1].size, 0u);
    EXPECT_EQ(calls[1].extents, noExtents);
}

#endif
