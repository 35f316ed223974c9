// The test allocator: which allocation fails, in which form, and that it counts only while
// armed.
#include "FailingAllocator.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

using namespace zektest;

namespace {

// Three allocations that fail quietly.
void ThreeAllocations() {
    for (int i = 0; i < 3; ++i) {
        std::unique_ptr<int> p(new (std::nothrow) int(i));
    }
}

} // namespace

TEST(FailingAllocator, FailsTheChosenAllocation) {
    struct Case {
        std::size_t failAt;
        bool sticky;
        std::vector<bool> outcome;
    };
    const Case cases[] = {
        {0, false, {true, true, true}},  {1, false, {false, true, true}},
        {2, false, {true, false, true}}, {2, true, {true, false, false}},
        {4, false, {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failAt);
        std::vector<bool> outcome;
        outcome.reserve(3);
        bool failed = false;
        std::size_t count = 0;
        {
            AllocationFailure failure(c.failAt, c.sticky);
            for (int i = 0; i < 3; ++i) {
                std::unique_ptr<int> p(new (std::nothrow) int(i));
                outcome.push_back(p != nullptr);
            }
            failed = failure.Failed();
            count = failure.Count();
        }
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(count, 3u);
        EXPECT_EQ(failed, c.outcome != std::vector<bool>({true, true, true}));
    }
    EXPECT_EQ(AllocationsSinceArmed(), 0u);
}

TEST(FailingAllocator, ThrowingFormsThrowBadAlloc) {
    AllocationFailure failure(1);
    EXPECT_THROW(std::string(100, 'x'), std::bad_alloc);
    EXPECT_NO_THROW(std::string(100, 'x')); // only the first one failed
}

TEST(FailingAllocator, PausedAllocationsNeitherCountNorFail) {
    std::size_t countAfterPause = 0;
    bool thirdFailed = false;
    {
        AllocationFailure failure(2);
        std::unique_ptr<int> first(new int(1));
        {
            AllocationFailurePause pause;
            std::unique_ptr<int> host(new int(2));
        }
        countAfterPause = failure.Count();
        std::unique_ptr<int> third(new (std::nothrow) int(3));
        thirdFailed = third == nullptr;
    }
    EXPECT_EQ(countAfterPause, 1u);
    EXPECT_TRUE(thirdFailed);
}

TEST(FailingAllocator, SweepsUntilARunSucceeds) {
    std::vector<std::size_t> seen;
    int prepared = 0;
    const std::size_t runs =
        ForEachAllocationFailure([&] { ++prepared; }, [] { ThreeAllocations(); },
                                 [&](std::size_t n, bool failed) {
                                     seen.push_back(n);
                                     EXPECT_EQ(failed, n <= 3);
                                 });
    EXPECT_EQ(runs, 3u);
    EXPECT_EQ(seen, (std::vector<std::size_t>{1, 2, 3, 4}));
    EXPECT_EQ(prepared, 4);
}
