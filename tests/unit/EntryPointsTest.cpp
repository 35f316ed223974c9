// The handshake, special requests and dispatch, through the exported entry points.
#include "HostHarness.h"
#include "extender/ZEKExtender.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

using namespace zekextender;
using zektest::HostHarness;
using zektest::Utf16;

namespace {

// Swaps in another extender object for the length of a test.
class ExtenderSwap {
public:
    explicit ExtenderSwap(CZEKExtender* replacement) : saved(TheExtender) {
        TheExtender = replacement;
    }
    ~ExtenderSwap() { TheExtender = saved; }

private:
    CZEKExtender* saved;
};

} // namespace

TEST(EntryPoints, DoNothingWithoutAnExtender) {
    const std::int16_t errorText = HostHarness().FunctionId("vtoGetErrorText");
    ExtenderSwap none(nullptr);
    HostHarness host;
    WCHAR buffer[64] = {};
    std::uint32_t offered[] = {5};
    EXPECT_EQ(ZEKExtenderQueryW(1, reinterpret_cast<INT_PTR>(buffer), 64), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(ZEKExtenderQueryW(2, reinterpret_cast<INT_PTR>(offered), 1), 0);
    EXPECT_EQ(host.Call(-1), 0);
    EXPECT_EQ(host.Call(errorText, {HostHarness::Integer(0)}), 0);
    EXPECT_TRUE(host.deliveries.empty());
}

TEST(EntryPoints, InterfaceVersionIsFiveOnlyWhenOffered) {
    struct Case {
        std::vector<std::uint32_t> offered;
        INT_PTR count;
        std::int32_t expected;
    };
    const Case cases[] = {
        {{5}, 1, 5},  {{3, 4, 5}, 3, 5}, {{5, 3}, 2, 5},  {{4, 6}, 2, -1},
        {{5}, 0, -1}, {{5}, -1, -1},     {{4, 5}, 1, -1}, // 5 lies past the count
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "count " << c.count);
        EXPECT_EQ(ZEKExtenderQueryW(2, reinterpret_cast<INT_PTR>(c.offered.data()), c.count),
                  c.expected);
    }
    EXPECT_EQ(ZEKExtenderQueryW(2, 0, 3), -1);
    EXPECT_EQ(ZEKExtenderQueryW(7, 0, 0), 0);
}

TEST(EntryPoints, DescriptionIsTruncatedToTheCapacity) {
    WCHAR buffer[64];
    struct Case {
        INT_PTR capacity;
        const char* expected;
    };
    constexpr Case cases[] = {
        {64, "Vantoro Extender"},
        {17, "Vantoro Extender"},
        {16, "Vantoro Extende"},
        {2, "V"},
        {1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacity);
        std::fill(std::begin(buffer), std::end(buffer), WCHAR('#'));
        ZEKExtenderQueryW(1, reinterpret_cast<INT_PTR>(buffer), c.capacity);
        EXPECT_EQ(WString(buffer), Utf16(c.expected));
    }
    std::fill(std::begin(buffer), std::end(buffer), WCHAR('#'));
    ZEKExtenderQueryW(1, reinterpret_cast<INT_PTR>(buffer), 0);
    EXPECT_EQ(buffer[0], WCHAR('#'));
    // A null buffer still answers; the test program has no version resource, so no number.
    EXPECT_EQ(ZEKExtenderQueryW(1, 0, 64), 0);
}

// Every definition is of a function (kind 2), whatever the host's record held before.
TEST(SpecialRequests, DefinitionsAreOfFunctions) {
    HostHarness host;
    for (std::uint32_t index = 0; index < 15; ++index) {
        FunctionDefinition definition;
        std::memset(&definition, 0xAB, sizeof definition);
        ASSERT_EQ(ZEKExtender2W(0, 0, 0, -2, &HostHarness::Callback, &host.services, 0, &definition,
                                index, &host.result),
                  1);
        EXPECT_EQ(definition.kind, 2u) << index;
    }
}

// An error message outside Latin-1 reaches the host as Latin-1 text, its other characters
// replaced.
TEST(ResultOperations, ErrorsKeepTheirLatin1Characters) {
    HostHarness host;
    auto& extender = *TheExtender;
    ASSERT_TRUE(extender.SetErrorMessage(600, U16("Gr\u00fc\u00dfe \u20ac")));
    extender.BeginCall(1, &HostHarness::Callback, &host.services, &host.result, 0);
    extender.ReturnError(-1, 600);
    extender.SetErrorMessage(600, WString());
    ASSERT_EQ(host.deliveries.size(), 1u);
    EXPECT_EQ(host.deliveries[0].resultCode, -1);
    EXPECT_EQ(host.deliveries[0].narrow.substr(0, 19), "600: ZXVTO38R: Gr\xfc\xdf");
}

namespace {

// An extender whose functions throw, before or after answering.
class ThrowingExtender : public CZEKExtender {
public:
    ThrowingExtender() { shortName = U16("TEST"); }
    FunctionEntry* GetFunctionTable() override { return table; }
    FunctionEntry* GetAltFunctionTable() override { return table; }

    std::int32_t OutOfMemory(INT_PTR, INT_PTR, INT_PTR, void*, std::uint32_t) {
        throw std::bad_alloc();
    }
    std::int32_t StandardException(INT_PTR, INT_PTR, INT_PTR, void*, std::uint32_t) {
        throw std::runtime_error("no");
    }
    std::int32_t ForeignException(INT_PTR, INT_PTR, INT_PTR, void*, std::uint32_t) { throw 42; }
    std::int32_t FailAfterAnswer(INT_PTR, INT_PTR, INT_PTR, void*, std::uint32_t) {
        ReturnInteger(1);
        throw std::bad_alloc();
    }

    FunctionEntry table[5] = {
        {0, 2, 0, 0, 0, U16("memory"), Handler<&ThrowingExtender::OutOfMemory>},
        {0, 2, 0, 0, 0, U16("standard"), Handler<&ThrowingExtender::StandardException>},
        {0, 2, 0, 0, 0, U16("foreign"), Handler<&ThrowingExtender::ForeignException>},
        {0, 2, 0, 0, 0, U16("after"), Handler<&ThrowingExtender::FailAfterAnswer>},
        {FunctionEntryTerminator, 0, 0, 0, 0, {}, nullptr},
    };
};

} // namespace

// Running out of memory is status 20; any other exception is status 2, the code for an
// exception converted to an error.
TEST(EntryPoints, ExceptionsBecomeOneErrorAnswer) {
    ThrowingExtender throwing;
    ExtenderSwap swap(&throwing);
    HostHarness host;
    const struct {
        const char* function;
        const char* answer;
    } cases[] = {
        {"memory", "20: TEST: Failed to allocate memory."},
        {"standard", "2: TEST: A C++ or O.S. exception occurred and was converted to an error."},
        {"foreign", "2: TEST: A C++ or O.S. exception occurred and was converted to an error."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.function);
        host.deliveries.clear();
        EXPECT_EQ(host.Call(std::string(c.function)), 0);
        ASSERT_EQ(host.deliveries.size(), 1u);
        EXPECT_EQ(host.deliveries[0].resultCode, -1);
        EXPECT_EQ(host.deliveries[0].narrow, c.answer);
    }
}

// An extender whose table cannot be read: a function's call is answered with the error, a
// special request with -1.
TEST(EntryPoints, ATableThatCannotBeReadGivesAnError) {
    class UnreadableExtender : public CZEKExtender {
    public:
        FunctionEntry* GetFunctionTable() override {
            if (outOfMemory) {
                throw std::bad_alloc();
            }
            throw std::runtime_error("no");
        }
        FunctionEntry* GetAltFunctionTable() override { return GetFunctionTable(); }
        bool outOfMemory = false;
    };
    for (const bool outOfMemory : {true, false}) {
        SCOPED_TRACE(outOfMemory);
        UnreadableExtender unreadable;
        unreadable.outOfMemory = outOfMemory;
        ExtenderSwap swap(&unreadable);
        HostHarness host;
        EXPECT_EQ(host.Call(RequestFunctionCount), -1);
        EXPECT_EQ(host.Call(0), 0);
        ASSERT_EQ(host.deliveries.size(), 1u);
        EXPECT_EQ(host.deliveries[0].resultCode, -1);
        EXPECT_EQ(host.deliveries[0].narrow.substr(0, 3), outOfMemory ? "20:" : "2: ");
    }
}

TEST(EntryPoints, AnAnswerGivenBeforeAnExceptionStandsAlone) {
    ThrowingExtender throwing;
    ExtenderSwap swap(&throwing);
    HostHarness host;
    EXPECT_EQ(host.Call(std::string("after")), -1);
    ASSERT_EQ(host.deliveries.size(), 1u);
    EXPECT_EQ(host.deliveries[0].resultCode, 0);
}

// An error whose text cannot be composed for want of memory still names its own code.
TEST(ResultOperations, ErrorsSurviveRunningOutOfMemory) {
    HostHarness host;
    CZEKExtender& extender = *TheExtender;
    for (std::size_t n = 1;; ++n) {
        SCOPED_TRACE(n);
        host.deliveries.clear();
        extender.BeginCall(host.cookie, &HostHarness::Callback, &host.services, &host.result, 0);
        bool failed = false;
        {
            zektest::AllocationFailure failure(n);
            extender.ReturnError(ErrorResult, StatusAccessDenied);
            failed = failure.Failed();
        }
        ASSERT_EQ(host.deliveries.size(), 1u);
        EXPECT_EQ(host.deliveries[0].narrow,
                  "44: ZXVTO38R: Access denied due to insufficient rights.");
        if (!failed) {
            break;
        }
    }
}

namespace {

// An extender whose row N's function answers N; row 3 has no handler.
class WideExtender : public CZEKExtender {
public:
    static constexpr int Rows = 8;
    static constexpr int WithoutHandler = 3;
    WideExtender() {
        Fill(std::make_index_sequence<Rows>());
        table[WithoutHandler].handler = nullptr;
        table[Rows] = {FunctionEntryTerminator, 0, 0, 0, 0, {}, nullptr};
    }
    FunctionEntry* GetFunctionTable() override { return table; }
    FunctionEntry* GetAltFunctionTable() override { return table; }

    template <int N> std::int32_t Row(INT_PTR, INT_PTR, INT_PTR, void*, std::uint32_t) noexcept {
        return ReturnInteger(N);
    }

    FunctionEntry table[Rows + 1];

private:
    template <std::size_t... N> void Fill(std::index_sequence<N...>) {
        ((table[N] = {0, 2, 0, 0, 0, U16("f"), Handler<&WideExtender::Row<N>>}), ...);
    }
};

} // namespace

// Every row answers as its own; a row without a handler, the terminator and ids past it answer
// 0 and deliver nothing. Each call stands alone: the first ones, before the host has asked
// for a count or a definition, answer as later ones do.
TEST(EntryPoints, EveryRowIsReachedByItsId) {
    WideExtender wide;
    ExtenderSwap swap(&wide);
    HostHarness host;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "first calls" : "later calls");
        for (std::int16_t id = 0; id < WideExtender::Rows; ++id) {
            if (id == WideExtender::WithoutHandler) {
                continue;
            }
            SCOPED_TRACE(id);
            host.deliveries.clear();
            host.Call(id);
            ASSERT_EQ(host.deliveries.size(), 1u);
            EXPECT_EQ(host.deliveries[0].intValue, id);
        }
        for (std::int16_t id :
             {WideExtender::WithoutHandler, WideExtender::Rows, WideExtender::Rows + 1, 0x7FFF}) {
            SCOPED_TRACE(id);
            host.deliveries.clear();
            EXPECT_EQ(host.Call(id), 0);
            EXPECT_TRUE(host.deliveries.empty());
        }
    }
    host.deliveries.clear();
    EXPECT_EQ(host.Call(0x7FFF), 0);
    EXPECT_TRUE(host.deliveries.empty());
    EXPECT_EQ(host.Call(RequestFunctionCount), WideExtender::Rows);
}

// An extender without functions: its table holds only the terminator, whatever follows it.
TEST(EntryPoints, AnEmptyTableHasNoFunctions) {
    class EmptyExtender : public CZEKExtender {
    public:
        FunctionEntry* GetFunctionTable() override { return table; }
        FunctionEntry* GetAltFunctionTable() override { return table; }
        FunctionEntry table[2] = {{FunctionEntryTerminator, 0, 0, 0, 0, {}, nullptr},
                                  {0, 2, 0, 0, 0, U16("f"), nullptr}};
    } empty;
    ExtenderSwap swap(&empty);
    HostHarness host;
    EXPECT_EQ(host.Call(RequestFunctionCount), 0);
    EXPECT_EQ(host.Call(0), 0);
    EXPECT_TRUE(host.deliveries.empty());
}
