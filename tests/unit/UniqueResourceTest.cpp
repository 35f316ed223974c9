// The owner of modules, libraries, interfaces and task text: each value it held is closed
// exactly once, and put() and reset() close the old value before taking a new one.
#include "common/UniqueResource.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

std::vector<int*> closed;

void Close(int* handle) {
    closed.push_back(handle);
}

using Owner = zekcommon::UniqueResource<int*, &Close>;

class UniqueResource : public ::testing::Test {
protected:
    void SetUp() override { closed.clear(); }
    int first = 1;
    int second = 2;
};

TEST_F(UniqueResource, ClosesWhatItHoldsOnce) {
    {
        Owner empty;
        EXPECT_FALSE(empty);
        Owner owner(&first);
        EXPECT_TRUE(owner);
        EXPECT_EQ(owner.get(), &first);
    }
    EXPECT_EQ(closed, std::vector<int*>{&first}); // nothing for the empty owner
}

TEST_F(UniqueResource, PutAndResetCloseTheOldValueFirst) {
    Owner owner(&first);
    int** slot = owner.put();
    EXPECT_EQ(closed, std::vector<int*>{&first});
    EXPECT_EQ(*slot, nullptr);
    *slot = &second;
    owner.reset(&first);
    EXPECT_EQ(closed, (std::vector<int*>{&first, &second}));
    owner.reset();
    EXPECT_EQ(closed, (std::vector<int*>{&first, &second, &first}));
    EXPECT_FALSE(owner);
}

TEST_F(UniqueResource, ReleaseAndMoveHandTheValueOn) {
    Owner owner(&first);
    EXPECT_EQ(owner.release(), &first);
    EXPECT_FALSE(owner);

    Owner from(&second);
    Owner to(std::move(from));
    EXPECT_FALSE(from);
    Owner assigned(&first);
    assigned = std::move(to);
    EXPECT_EQ(closed, std::vector<int*>{&first}); // the value assigned over
    EXPECT_EQ(assigned.get(), &second);
}

} // namespace
