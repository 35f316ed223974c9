// The platform layer's string functions given what Windows documents them to survive: null
// strings, and CharLowerW's single character passed in the pointer's low word.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdint>

#ifndef _WIN32

namespace {

TEST(PlatformNullArguments, StringFunctionsRefuseNullStrings) {
    WCHAR buffer[8] = {U16('x'), 0};
    EXPECT_EQ(lstrcpyW(nullptr, U16("abc")), nullptr);
    EXPECT_EQ(lstrcpyW(buffer, nullptr), nullptr);
    EXPECT_EQ(lstrcpynW(nullptr, U16("abc"), 4), nullptr);
    EXPECT_EQ(lstrcpynW(buffer, nullptr, 4), nullptr);
    EXPECT_EQ(buffer[0], U16('x')) << "the destination is left alone";
    EXPECT_EQ(lstrlenW(nullptr), 0);
    char narrow[8] = {};
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, nullptr, -1, narrow, 8, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(PlatformNullArguments, CharLowerOfOneCharacter) {
    struct Case {
        WCHAR in;
        WCHAR out;
    };
    for (const Case& test :
         {Case{U16('A'), U16('a')}, Case{0xC9, 0xE9}, Case{U16('z'), U16('z')}, Case{0xD7, 0xD7}}) {
        const auto lowered = reinterpret_cast<std::uintptr_t>(
            CharLowerW(reinterpret_cast<LPWSTR>(static_cast<std::uintptr_t>(test.in))));
        EXPECT_EQ(lowered, static_cast<std::uintptr_t>(test.out)) << test.in;
    }
}

} // namespace

#endif
