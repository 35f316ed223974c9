// The platform layer's version-information functions refuse what they cannot use, and
// running out of memory is an error result, never an exception into the caller.
#include "platform/platform.h"
#include "CraftedModules.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "FailingAllocator.h"

#include <vector>

namespace {

TEST(VersionInfoArguments, BuffersThatCannotHoldTheBlockAreRefused) {
    const WString path = zektest::CraftedModulePath("crafted_version_normal");
    std::vector<BYTE> buffer(4096);
    SetLastError(0);
    EXPECT_FALSE(GetFileVersionInfoW(path.c_str(), 0, 4096, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_FALSE(GetFileVersionInfoW(path.c_str(), 0, 2, buffer.data()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    const WString missing = zektest::ProgramDirectory() + U16("no_such_module.so");
    SetLastError(0);
    EXPECT_FALSE(GetFileVersionInfoW(missing.c_str(), 0, 4096, buffer.data()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(VersionInfoArguments, QueriesWithoutBlockNameOrOutputFail) {
    const WString path = zektest::CraftedModulePath("crafted_version_normal");
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    LPVOID value = nullptr;
    UINT length = 99;
    EXPECT_FALSE(VerQueryValueW(nullptr, U16("\\"), &value, &length));
    EXPECT_EQ(length, 0u);
    EXPECT_FALSE(VerQueryValueW(block.data(), nullptr, &value, &length));
    EXPECT_FALSE(VerQueryValueW(block.data(), U16("\\"), nullptr, &length));
    EXPECT_TRUE(VerQueryValueW(block.data(), U16("\\"), &value, &length));
}

// Every allocation the two reading functions make may fail: each failure is an error with
// ERROR_NOT_ENOUGH_MEMORY.
TEST(VersionInfoArguments, RunningOutOfMemoryIsAnError) {
    const WString path = zektest::CraftedModulePath("crafted_version_normal");
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    DWORD sizeResult = 0;
    BOOL readResult = FALSE;
    const std::size_t failures = zektest::ForEachAllocationFailure(
        [] { SetLastError(0); },
        [&] {
            sizeResult = GetFileVersionInfoSizeW(path.c_str(), nullptr);
            readResult = GetFileVersionInfoW(path.c_str(), 0, size, block.data());
        },
        [&](std::size_t n, bool failed) {
            if (failed) {
                EXPECT_TRUE(sizeResult == 0 || !readResult) << n;
                EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << n;
            } else {
                EXPECT_EQ(sizeResult, size);
                EXPECT_TRUE(readResult);
            }
        });
    EXPECT_GT(failures, 1u);
}

} // namespace

#endif
