// The stand-in's accounting: live references and task memory, double frees, over-releases
// and uses of a committed store, and the `check` command that tests end with.
#include "StandinLibrary.h"

namespace standin_test {
namespace {

enum class Leftover { Reference, Allocation, DoubleFree, OverRelease };

struct LeftoverCase {
    Leftover leftover;
    const char* accounting;
};

constexpr LeftoverCase kLeftoverCases[] = {
    {Leftover::Reference,
     "references 1, allocations 0, bad frees 0, over-releases 0, uses after commit 0"},
    {Leftover::Allocation,
     "references 0, allocations 1, bad frees 0, over-releases 0, uses after commit 0"},
    {Leftover::DoubleFree,
     "references 0, allocations 0, bad frees 1, over-releases 0, uses after commit 0"},
    {Leftover::OverRelease,
     "references 0, allocations 0, bad frees 0, over-releases 1, uses after commit 0"},
};

TEST_F(StandinTest, CheckRefusesWhatWasLeftOrFreedTwice) {
    const WString item = W(u"C:\\docs\\item.txt");
    Command("item \"C:\\docs\\item.txt\" System.Title=lpwstr:x");
    for (const LeftoverCase& test : kLeftoverCases) {
        SCOPED_TRACE(test.accounting);
        IPropertyStore* store = Open(item, GPS_DEFAULT);
        ASSERT_NE(store, nullptr);
        PWSTR name = nullptr;
        ASSERT_EQ(lib->nameFromKey(kTitle, &name), S_OK);
        switch (test.leftover) {
        case Leftover::Reference:
            lib->taskFree(name);
            break;
        case Leftover::Allocation:
            store->Release();
            break;
        case Leftover::DoubleFree:
            store->Release();
            lib->taskFree(name);
            lib->taskFree(name); // counted, and not passed on to the allocator
            break;
        case Leftover::OverRelease:
            lib->taskFree(name);
            EXPECT_EQ(store->Release(), 0u);
            EXPECT_EQ(store->Release(), 0u); // the released object stays safe to call
            break;
        }
        std::string reply;
        EXPECT_FALSE(lib->Run("check", &reply));
        EXPECT_EQ(reply, test.accounting);
        EXPECT_EQ(lib->Accounting(), test.accounting);
        if (test.leftover == Leftover::Reference) {
            store->Release();
        } else if (test.leftover == Leftover::Allocation) {
            lib->taskFree(name);
        }
        lib->Run("reset"); // forgets the fault counts; live ones are facts
        Command("item \"C:\\docs\\item.txt\" System.Title=lpwstr:x");
        EXPECT_EQ(Command("check"), "balanced");
    }
}

TEST_F(StandinTest, CountsEveryReferenceHandedOut) {
    Command("item \"C:\\docs\\item.txt\" System.Title=unknown");
    IPropertyStore* store = Open(W(u"C:\\docs\\item.txt"), GPS_DEFAULT);
    ASSERT_NE(store, nullptr);
    IUnknown* same = nullptr;
    EXPECT_EQ(store->QueryInterface(kIidPropertyStore, reinterpret_cast<void**>(&same)), S_OK);
    EXPECT_EQ(same, static_cast<IUnknown*>(store));
    PROPVARIANT value;
    std::memset(&value, 0, sizeof value);
    EXPECT_EQ(store->GetValue(kTitle, &value), S_OK);
    EXPECT_EQ(lib->Accounting(),
              "references 3, allocations 0, bad frees 0, over-releases 0, uses after commit 0");
    EXPECT_EQ(lib->clear(&value), S_OK); // releases the value's object
    EXPECT_EQ(same->Release(), 1u);
    EXPECT_EQ(store->Release(), 0u);
}

// Documented: no method of a store succeeds after its Commit; they fail with E_FAIL, and the
// stand-in counts each such call.
TEST_F(StandinTest, NothingSucceedsAfterCommit) {
    for (const char* failure : {"", "fail Commit 0x80030070"}) {
        SCOPED_TRACE(failure);
        Command("reset");
        Command("item \"doc:a\" System.Title=lpwstr:A");
        if (failure[0] != 0) {
            Command(failure);
        }
        IPropertyStore* store = Open(W(u"doc:a"), GPS_READWRITE);
        ASSERT_NE(store, nullptr);
        EXPECT_EQ(WriteText(store, kTitle, W(u"B")), S_OK);
        EXPECT_EQ(SUCCEEDED(store->Commit()), failure[0] == 0);
        DWORD count = 7;
        EXPECT_EQ(store->GetCount(&count), E_FAIL);
        EXPECT_EQ(count, 0u);
        PROPERTYKEY key = kTitle;
        EXPECT_EQ(store->GetAt(0, &key), E_FAIL);
        PROPVARIANT value;
        std::memset(&value, 0, sizeof value);
        EXPECT_EQ(store->GetValue(kTitle, &value), E_FAIL);
        EXPECT_EQ(value.vt, VT_EMPTY);
        EXPECT_EQ(WriteText(store, kTitle, W(u"C")), E_FAIL);
        EXPECT_EQ(store->Commit(), E_FAIL);
        store->Release();
        EXPECT_EQ(lib->Accounting(),
                  "references 0, allocations 0, bad frees 0, over-releases 0, uses after commit 5");
        std::string reply;
        EXPECT_FALSE(lib->Run("check", &reply));
    }
    Command("reset"); // forgets the faults, so that the fixture's check passes
}

} // namespace
} // namespace standin_test
