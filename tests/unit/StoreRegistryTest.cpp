// Handles of the store registry: always the smallest positive number not in use.
#include "FailingAllocator.h"
#include "propstore/StoreRegistry.h"

#include <gtest/gtest.h>

#include <new>
#include <random>
#include <set>

using zekextender::PropertyStoreRecord;
using zekextender::StoreRegistry;

namespace {

std::uint32_t Open(StoreRegistry& registry) {
    const std::uint32_t handle = registry.AllocateStoreHandle();
    registry.Insert(handle, std::make_unique<PropertyStoreRecord>());
    return handle;
}

} // namespace

TEST(StoreRegistry, UnknownHandlesFindNothing) {
    StoreRegistry registry;
    EXPECT_EQ(registry.AllocateStoreHandle(), 1u);
    Open(registry);
    for (std::uint32_t handle : {0u, 2u, 0xFFFFFFFFu}) {
        EXPECT_EQ(registry.FindStore(handle), nullptr);
        registry.Remove(handle); // nothing to remove: nothing changes
    }
    EXPECT_NE(registry.FindStore(1), nullptr);
    EXPECT_EQ(registry.size(), 1u);
}

// When the process ends the stores are forgotten, not closed: closing one would call into a
// property system that may be gone. The records stay as they were.
TEST(StoreRegistry, AbandonForgetsWithoutClosing) {
    StoreRegistry registry;
    Open(registry);
    PropertyStoreRecord* const record = registry.FindStore(1);
    registry.Abandon();
    EXPECT_EQ(registry.size(), 0u);
    EXPECT_EQ(registry.FindStore(1), nullptr);
    EXPECT_EQ(registry.AllocateStoreHandle(), 1u);
    delete record; // still alive: what the system would reclaim
}

// Random opens and closes against the plain definition: the smallest positive number that
// no open store holds.
TEST(StoreRegistry, AgreesWithTheDefinitionUnderChurn) {
    StoreRegistry registry;
    std::set<std::uint32_t> open;
    std::mt19937 random(38);
    for (int step = 0; step < 4000; ++step) {
        std::uint32_t smallest = 1;
        while (open.count(smallest) != 0) {
            ++smallest;
        }
        ASSERT_EQ(registry.AllocateStoreHandle(), smallest) << "step " << step;
        if (open.empty() || random() % 3 != 0) {
            open.insert(Open(registry));
        } else {
            auto victim = open.begin();
            std::advance(victim, random() % open.size());
            registry.Remove(*victim);
            open.erase(victim);
        }
        ASSERT_EQ(registry.size(), open.size());
    }
    registry.Clear();
    EXPECT_EQ(registry.size(), 0u);
    EXPECT_EQ(registry.AllocateStoreHandle(), 1u);
}

// Running out of memory in the middle of an insert or a removal changes nothing: the store is
// either registered or not, and the next handle is the smallest free one either way.
TEST(StoreRegistry, OutOfMemoryLeavesHandlesAsTheyWere) {
    enum class Step { Insert, Remove };
    for (Step step : {Step::Insert, Step::Remove}) {
        for (std::size_t n = 1;; ++n) {
            SCOPED_TRACE(testing::Message()
                         << (step == Step::Insert ? "insert" : "remove") << ", allocation " << n);
            StoreRegistry registry;
            for (int i = 0; i < 4; ++i) {
                Open(registry); // handles 1 to 4
            }
            registry.Remove(2);
            auto record = std::make_unique<PropertyStoreRecord>();
            bool threw = false;
            bool failed = false;
            {
                zektest::AllocationFailure failure(n);
                try {
                    if (step == Step::Insert) {
                        registry.Insert(2, std::move(record));
                    } else {
                        registry.Remove(3);
                    }
                } catch (const std::bad_alloc&) {
                    threw = true;
                }
                failed = failure.Failed();
            }
            EXPECT_EQ(threw, failed);
            if (step == Step::Insert) {
                EXPECT_EQ(registry.FindStore(2) != nullptr, !threw);
                EXPECT_EQ(registry.AllocateStoreHandle(), threw ? 2u : 5u);
            } else {
                EXPECT_EQ(registry.FindStore(3) != nullptr, threw);
                EXPECT_EQ(registry.AllocateStoreHandle(), 2u);
                Open(registry); // takes 2
                EXPECT_EQ(registry.AllocateStoreHandle(), threw ? 5u : 3u);
            }
            if (!failed) {
                break;
            }
        }
    }
}
