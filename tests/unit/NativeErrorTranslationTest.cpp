#include "status/NativeErrorTranslation.h"

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <sstream>

namespace {

struct TranslationCase {
    ErrorSource source;
    std::uint32_t value;
    bool noFallback;
    StatusCode expected;
};

constexpr ErrorSource kWin32 = ErrorSource::Win32Error;
constexpr ErrorSource kHResult = ErrorSource::HResult;
constexpr ErrorSource kNetApi = ErrorSource::NetApiStatus;
constexpr ErrorSource kErrno = ErrorSource::CrtErrno;
constexpr ErrorSource kNtTable = ErrorSource::NtStatusTable;

template <std::size_t N> void ExpectTranslations(const TranslationCase (&cases)[N]) {
    for (const TranslationCase& c : cases) {
        std::ostringstream trace;
        trace << "source " << static_cast<std::uint32_t>(c.source) << ", value 0x" << std::hex
              << c.value << ", noFallback " << c.noFallback;
        SCOPED_TRACE(trace.str());
        EXPECT_EQ(TranslateNativeError(c.source, c.value, c.noFallback), c.expected);
    }
}

TEST(NativeErrorTranslation, HResultTableFacilityAndSign) {
    constexpr TranslationCase cases[] = {
        {kHResult, 0x80070002, false, 14}, // listed: not Win32 2's 43
        {kHResult, 0x8007007B, false, 24}, // listed: not Win32 123's 9
        {kHResult, 0x80070003, false, 26}, // facility rule, Win32 3
        {kHResult, 0x800700B7, false, 42}, // facility rule, Win32 183
        {kHResult, 0x800708AD, false, 14}, // Win32 2221 found by the second chance
        {kHResult, 0x800708AD, true, 14},  // noFallback means nothing to HRESULTs
        {kHResult, 0x80071234, false, 4},  // wrapped but unknown Win32 error
        {kHResult, 0x80070000, false, 3},  // a failure, though it wraps "no error"
        {kHResult, 0xC0070005, false, 3},  // facility compares all 16 upper bits
        {kHResult, 0x080070B7, false, 39}, // non-negative, listed
        {kHResult, 0x00005011, false, 38},  {kHResult, 0x00005013, false, 38},
        {kHResult, 0x00005014, false, 0},   {kHResult, 0x0004531B, false, 169},
        {kHResult, 0x00000001, false, 0},   {kHResult, 0x7FFFFFFF, false, 0},
        {kHResult, 0x80050123, false, 38}, // directory-service facility
        {kHResult, 0x80004003, false, 6},   {kHResult, 0x80004005, false, 4},
        {kHResult, 0x80020009, false, 3},   {kHResult, 0x80005010, false, 38},
        {kHResult, 0x80005011, false, 3}, // gap between listed rows
        {kHResult, 0x80005014, false, 38},  {kHResult, 0x80030304, false, 3},
        {kHResult, 0x80030305, false, 223}, {kHResult, 0x8003030B, false, 223},
        {kHResult, 0x8003030C, false, 3},   {kHResult, 0x80045335, false, 169},
        {kHResult, 0x80045336, false, 3},   {kHResult, 0x80090350, false, 90},
    };
    ExpectTranslations(cases);
}

TEST(NativeErrorTranslation, Win32AndNetApiSecondChance) {
    constexpr TranslationCase cases[] = {
        {kWin32, 0, false, 0},          {kWin32, 2, false, 43},         {kWin32, 2221, false, 14},
        {kWin32, 2221, true, 4},        {kWin32, 2311, false, 55},      {kWin32, 2312, false, 4},
        {kWin32, 31, false, 4},         {kWin32, 32, false, 179},       {kWin32, 33, false, 179},
        {kWin32, 34, false, 4},         {kWin32, 1809, false, 112},     {kWin32, 1810, false, 4},
        {kWin32, 0x80090350, true, 90}, {kWin32, 0xFFFFFFFF, false, 4}, {kNetApi, 0, true, 0},
        {kNetApi, 5, false, 44},        {kNetApi, 5, true, 4},          {kNetApi, 2219, false, 4},
        {kNetApi, 2220, true, 14},      {kNetApi, 2222, false, 4},
    };
    ExpectTranslations(cases);
}

TEST(NativeErrorTranslation, UnnamedSourcesGiveUnspecified) {
    constexpr std::uint32_t sources[] = {0, 3, 16, 64, 0xFFFFFFFF};
    constexpr std::uint32_t values[] = {0, 2, 0x80070005};
    for (std::uint32_t source : sources) {
        for (std::uint32_t value : values) {
            SCOPED_TRACE(::testing::Message() << "source " << source << ", value " << value);
            EXPECT_EQ(TranslateNativeError(static_cast<ErrorSource>(source), value, true),
                      StatusUnspecified);
        }
    }
}

TEST(NativeErrorTranslation, WrappersUseTheirSourceWithFallback) {
    EXPECT_EQ(StatusFromWin32Error(2221), 14);
    EXPECT_EQ(StatusFromNetApiStatus(5), 44);
    EXPECT_EQ(StatusFromHResult(0x80070002), 14);
    EXPECT_EQ(StatusFromErrno(4), 4);
    EXPECT_EQ(StatusFromNtStatusTable(0xC000003A), 26);
    EXPECT_EQ(StatusFromNtStatus(0), StatusSuccess);
}

// The mapping of NTSTATUS to Win32 errors is the platform's; the translator only follows it
// with the Win32 rule.
TEST(NativeErrorTranslation, NtStatusGoesThroughSystemMapping) {
    constexpr std::uint32_t statuses[] = {0xC0000022, 0xC0000034, 0xC0000001};
    for (std::uint32_t status : statuses) {
        SCOPED_TRACE(::testing::Message() << "status " << status);
        const ULONG win32 = LsaNtStatusToWinError(static_cast<NTSTATUS>(status));
        EXPECT_EQ(StatusFromNtStatus(status), StatusFromWin32Error(win32));
    }
}

} // namespace

#ifndef _WIN32
// The platform layer's mapping of NTSTATUS values and the translator's own table are written
// from the same documented values: every status the platform maps leads to the code the table
// gives it (4 for one the table leaves out).
TEST(NativeErrorTranslation, SystemMappingAgreesWithTheNtStatusTable) {
    constexpr std::uint32_t blocks[] = {0x0000, 0x4000, 0x8000, 0x8009, 0xC000, 0xC002, 0xC003};
    int compared = 0;
    for (std::uint32_t block : blocks) {
        for (std::uint32_t low = 0; low <= 0xFFFF; ++low) {
            const std::uint32_t status = block << 16 | low;
            const ULONG win32 = LsaNtStatusToWinError(static_cast<NTSTATUS>(status));
            if (win32 == ERROR_MR_MID_NOT_FOUND) {
                continue;
            }
            ++compared;
            EXPECT_EQ(StatusFromWin32Error(win32), StatusFromNtStatusTable(status))
                << "status 0x" << std::hex << status;
        }
    }
    EXPECT_GT(compared, 50);
}
#endif
