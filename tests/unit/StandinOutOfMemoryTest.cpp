// The stand-in when memory runs out while it builds an object it hands out: the call fails
// with nothing handed out and nothing counted as live.
#include "StandinLibrary.h"

#ifndef _WIN32
#include "FailingAllocator.h"
#endif

#include <functional>

namespace standin_test {
namespace {

#ifndef _WIN32

// Built before any arming: only the stand-in's own allocations may fail.
const WString kTitleName = W(u"System.Title");
const WString kItemName = W(u"doc:oom");

struct MakerCase {
    const char* name;
    // Obtains an object; S_OK with the object, or a failure with null.
    std::function<HRESULT(const StandinLibrary&, IUnknown**)> make;
};

const MakerCase kMakers[] = {
    {"description by name",
     [](const StandinLibrary& lib, IUnknown** object) {
         return lib.descriptionByName(kTitleName.c_str(), kIidPropertyDescription,
                                      reinterpret_cast<void**>(object));
     }},
    {"description by key",
     [](const StandinLibrary& lib, IUnknown** object) {
         return lib.description(kTitle, kIidPropertyDescription, reinterpret_cast<void**>(object));
     }},
    {"store",
     [](const StandinLibrary& lib, IUnknown** object) {
         return lib.open(kItemName.c_str(), nullptr, GPS_READWRITE, kIidPropertyStore,
                         reinterpret_cast<void**>(object));
     }},
};

TEST_F(StandinTest, ObjectsThatCannotBeBuiltLeaveNoReference) {
    Command("item \"doc:oom\" System.Title=lpwstr:\"A title long enough to be allocated\"");
    for (const MakerCase& maker : kMakers) {
        SCOPED_TRACE(maker.name);
        HRESULT result = S_OK;
        IUnknown* object = nullptr;
        const std::size_t failures = zektest::ForEachAllocationFailure(
            [&] { object = nullptr; }, [&] { result = maker.make(*lib, &object); },
            [&](std::size_t n, bool failed) {
                if (SUCCEEDED(result)) {
                    ASSERT_NE(object, nullptr) << n;
                    object->Release();
                } else {
                    EXPECT_TRUE(failed) << n;
                    EXPECT_EQ(object, nullptr) << n;
                }
                EXPECT_EQ(lib->Accounting(), "references 0, allocations 0, bad frees 0, "
                                             "over-releases 0, uses after commit 0")
                    << "allocation " << n;
            });
        EXPECT_GT(failures, 0u);
    }
}

#endif

} // namespace
} // namespace standin_test
