#include "extender/ProductVersion.h"
#include "CraftedModules.h"

#include <gtest/gtest.h>

namespace {

struct ProductVersionCase {
    const char* module;
    bool found;
    DWORD number;
};

constexpr ProductVersionCase ProductVersionCases[] = {
    {"crafted_version_normal", true, 45001},
    {"crafted_version_nodot", true, 45001},
    {"crafted_version_leadingblank", true, 45001},
    {"crafted_version_uppercasetable", true, 45001},
    {"crafted_version_largest", true, 4294967295u},
    {"crafted_version_plussign", true, 45001},
    {"crafted_version_minussign", true, 4294922295u}, // 2^32 - 45001
    {"crafted_version_leadingdot", false, 0},
    {"crafted_version_trailingletter", false, 0},
    {"crafted_version_overflow", false, 0},
    {"crafted_version_notranslation", false, 0},
    {"crafted_version_shorttranslation", false, 0},
    {"crafted_version_missingtable", false, 0},
    {"crafted_version_noproductversion", false, 0},
    {"crafted_version_none", false, 0},
};

TEST(ProductVersion, NumberFromCraftedResources) {
    for (const ProductVersionCase& test : ProductVersionCases) {
        SCOPED_TRACE(test.module);
        HMODULE module = LoadLibraryW(zektest::CraftedModulePath(test.module).c_str());
        ASSERT_NE(module, nullptr);
        DWORD number = 12345;
        EXPECT_EQ(zekextender::GetProductVersionNumber(module, number), test.found);
        EXPECT_EQ(number, test.number);
        FreeLibrary(module);
    }
}

} // namespace
