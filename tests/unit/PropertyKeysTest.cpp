// Names and keys through the bound property system (the stand-in, on this platform). The
// fixture checks after each test that every text handed out was freed.
#ifndef _WIN32

#include "StandinLibrary.h"
#include "properties/PropertyKeys.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace zekextender;

namespace {

// System.Title: {F29F85E0-4FF9-1068-AB91-08002B27B3D9},2
constexpr PROPERTYKEY TitleKey = standin_test::kTitle;

class PropertyKeys : public standin_test::StandinTest {};

} // namespace

TEST_F(PropertyKeys, ConvertBothWays) {
    PROPERTYKEY key;
    ASSERT_EQ(PropertyKeyFromName(U16("System.Title"), key), StatusSuccess);
    EXPECT_EQ(std::memcmp(&key, &TitleKey, sizeof key), 0);
    WString name;
    EXPECT_EQ(PropertyNameFromKey(TitleKey, name), StatusSuccess);
    EXPECT_EQ(name, WString(U16("System.Title")));

    std::memset(&key, 0xAB, sizeof key);
    EXPECT_EQ(PropertyKeyFromName(U16("System.NoSuchProperty"), key), StatusUnspecified);
    const PROPERTYKEY zero{};
    EXPECT_EQ(std::memcmp(&key, &zero, sizeof key), 0);
}

TEST_F(PropertyKeys, ReservedIdentifiersAreNeverAsked) {
    Command("fail PSGetNameFromPropertyKey E_FAIL");
    PROPERTYKEY key = TitleKey;
    for (DWORD pid : {0u, 1u}) {
        SCOPED_TRACE(pid);
        key.pid = pid;
        WString name = U16("left over");
        EXPECT_EQ(PropertyNameFromKey(key, name), StatusSuccess);
        EXPECT_TRUE(name.empty());
    }
    // The same failure for a key that is asked about.
    WString name = U16("left over");
    EXPECT_EQ(PropertyNameFromKey(TitleKey, name), StatusOsFunctionFailed);
    EXPECT_TRUE(name.empty());
}

TEST_F(PropertyKeys, KeysWithoutANameGetAnEmptyOne) {
    const PROPERTYKEY unnamed = {
        {0x99999999, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}}, 7};
    WString name = U16("left over");
    EXPECT_EQ(PropertyNameFromKey(unnamed, name), StatusSuccess);
    EXPECT_TRUE(name.empty());
}

TEST_F(PropertyKeys, TextLeftByAFailingCallIsFreed) {
    // The stand-in still hands out its text with the failure; the check afterwards finds it
    // freed, or the test fails.
    Command("fail PSGetNameFromPropertyKey System.Title STG_E_ACCESSDENIED");
    WString name;
    EXPECT_EQ(PropertyNameFromKey(TitleKey, name), StatusAccessDenied);
    EXPECT_TRUE(name.empty());

    Command("fail GetDisplayName System.Title E_FAIL");
    WString display;
    EXPECT_EQ(PropertyDisplayName(U16("System.Title"), display), StatusSuccess);
    EXPECT_EQ(display, WString(U16("Title")));
}

#endif
