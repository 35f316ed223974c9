#include "status/NativeErrorTranslation.h"

#include "platform/platform.h"

#include <cstddef>

namespace {

// Every value from first to last inclusive maps to code.
struct CodeRow {
    std::uint32_t first;
    std::uint32_t last;
    StatusCode code;
};

// Every value from first to last maps to targetFirst, or, where targetLast differs, to
// targetFirst + (value - first).
struct NativeRow {
    std::uint32_t first;
    std::uint32_t last;
    std::uint32_t targetFirst;
    std::uint32_t targetLast;
};

// Rows are sorted by value and never overlap, so a binary search finds the one row that
// holds a value. Written by hand because std::lower_bound is not constexpr before C++20 and
// the tables are checked at compile time.
template <typename Row, std::size_t N>
constexpr const Row* FindRow(const Row (&rows)[N], std::uint32_t value) noexcept {
    std::size_t low = 0;
    std::size_t high = N;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (rows[middle].last < value) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low < N && rows[low].first <= value ? &rows[low] : nullptr;
}

template <typename Row, std::size_t N> constexpr bool IsSortedAndDisjoint(const Row (&rows)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (rows[i].first > rows[i].last || (i > 0 && rows[i - 1].last >= rows[i].first)) {
            return false;
        }
    }
    return true;
}

constexpr std::uint32_t Target(const NativeRow& row, std::uint32_t value) noexcept {
    return row.targetLast == row.targetFirst ? row.targetFirst
                                             : row.targetFirst + (value - row.first);
}

template <std::size_t N> constexpr bool TargetRangesMatch(const NativeRow (&rows)[N]) {
    for (const NativeRow& row : rows) {
        if (row.targetLast != row.targetFirst &&
            (row.targetLast < row.targetFirst ||
             row.targetLast - row.targetFirst != row.last - row.first)) {
            return false;
        }
    }
    return true;
}

// Win32 error -> code. 0 -> 0 as well.
constexpr CodeRow kWin32Rows[] = {
    {0, 0, 0},
    // General system errors.
    {1, 1, 99},
    {2, 2, 43},
    {3, 3, 26},
    {5, 5, 44},
    {6, 6, 9},
    {8, 8, 20},
    {14, 14, 20},
    {16, 16, 179},
    {17, 17, 174},
    {32, 33, 179},
    {38, 38, 167},
    {50, 50, 99},
    {53, 53, 141},
    {59, 59, 164},
    {64, 64, 165},
    {67, 67, 141},
    {87, 87, 9},
    {112, 112, 140},
    {123, 123, 9},
    {126, 126, 143},
    {127, 127, 96},
    {145, 145, 182},
    {183, 183, 42},
    {206, 206, 62},
    {568, 568, 121},
    {608, 608, 111},
    {615, 615, 115},
    {616, 616, 116},
    {617, 617, 117},
    {681, 681, 139},
    {740, 740, 126},
    {1004, 1004, 12},
    {1008, 1008, 97},
    // Service control.
    {1056, 1056, 129},
    {1057, 1057, 125},
    {1058, 1058, 178},
    {1060, 1060, 128},
    {1062, 1062, 130},
    {1069, 1069, 102},
    {1073, 1073, 127},
    {1078, 1078, 127},
    // Network connections.
    {1212, 1212, 12},
    {1235, 1235, 180},
    {1238, 1238, 124},
    {1239, 1239, 104},
    {1240, 1240, 105},
    {1244, 1245, 85},
    {1249, 1249, 101},
    // Security and accounts.
    {1300, 1300, 136},
    {1307, 1307, 133},
    {1308, 1308, 134},
    {1309, 1309, 160},
    {1311, 1311, 108},
    {1313, 1313, 135},
    {1314, 1314, 136},
    {1315, 1315, 125},
    {1316, 1316, 39},
    {1317, 1317, 14},
    {1318, 1318, 39},
    {1319, 1319, 14},
    {1323, 1323, 120},
    {1324, 1324, 119},
    {1325, 1325, 118},
    {1326, 1326, 102},
    {1327, 1327, 103},
    {1328, 1328, 104},
    {1329, 1329, 105},
    {1330, 1330, 122},
    {1331, 1331, 123},
    {1332, 1332, 132},
    {1346, 1346, 161},
    {1355, 1355, 100},
    {1367, 1367, 107},
    {1380, 1380, 107},
    {1385, 1385, 107},
    {1463, 1463, 79},
    {1464, 1464, 139},
    // RPC, trusts and domain logon.
    {1722, 1722, 176},
    {1726, 1726, 177},
    {1792, 1792, 108},
    {1793, 1793, 106},
    {1807, 1809, 112},
    {1907, 1907, 109},
    {1908, 1908, 108},
    {1909, 1909, 110},
    {1919, 1919, 101},
    {1935, 1935, 113},
    // Reparse points, cluster objects, browser.
    {4390, 4390, 78},
    {5010, 5010, 39},
    {6118, 6118, 183},
    // Directory service.
    {8202, 8202, 15},
    {8203, 8203, 24},
    {8204, 8204, 40},
    {8205, 8205, 41},
    {8207, 8207, 90},
    {8212, 8212, 155},
    {8235, 8235, 91},
    {8239, 8239, 155},
    {8240, 8240, 14},
    {8245, 8245, 45},
    {8247, 8247, 204},
    {8250, 8250, 66},
    {8251, 8251, 138},
    {8254, 8254, 12},
    {8470, 8470, 88},
    {8471, 8471, 35},
    {8472, 8472, 88},
    // An HRESULT-shaped value, compared exactly like the rest.
    {0x80090350, 0x80090350, 90},
};

// Network-management status -> code. 0 -> 0 as well.
constexpr CodeRow kNetApiRows[] = {
    {0, 0, 0},         {2116, 2116, 26},  {2117, 2117, 56},  {2118, 2118, 54},  {2200, 2200, 84},
    {2201, 2201, 85},  {2202, 2202, 125}, {2203, 2203, 114}, {2210, 2210, 121}, {2215, 2215, 108},
    {2220, 2221, 14},  {2223, 2224, 39},  {2238, 2238, 125}, {2239, 2239, 106}, {2240, 2240, 105},
    {2241, 2241, 104}, {2242, 2242, 122}, {2243, 2243, 131}, {2244, 2244, 117}, {2245, 2245, 115},
    {2310, 2311, 55},
};

// HRESULT -> code, consulted before the sign and facility rules. The non-negative rows
// (0x00005011-0x00005013, 0x0004531B, 0x080070B7) would otherwise read as success, and the
// 0x8007xxxx rows override the Win32 mapping of their low word.
constexpr CodeRow kHResultRows[] = {
    {0x00000000, 0x00000000, 0},
    // Directory-service interface success codes.
    {0x00005011, 0x00005013, 38},
    // File-server resource manager, success code.
    {0x0004531B, 0x0004531B, 169},
    // Non-negative, so not a wrapped Win32 error.
    {0x080070B7, 0x080070B7, 39},
    // COM.
    {0x80004001, 0x80004002, 4},
    {0x80004003, 0x80004003, 6},
    {0x80004004, 0x80004005, 4},
    // Directory-service interface.
    {0x80005000, 0x80005000, 59},
    {0x80005001, 0x80005004, 14},
    {0x80005005, 0x8000500B, 38},
    {0x8000500C, 0x8000500C, 199},
    {0x8000500D, 0x8000500D, 15},
    {0x8000500E, 0x80005010, 38},
    {0x80005014, 0x80005014, 38},
    // COM.
    {0x8000FFFF, 0x8000FFFF, 4},
    // Structured storage.
    {0x80030001, 0x80030001, 99},
    {0x80030002, 0x80030002, 43},
    {0x80030003, 0x80030003, 26},
    {0x80030004, 0x80030004, 220},
    {0x80030005, 0x80030005, 44},
    {0x80030006, 0x80030006, 9},
    {0x80030008, 0x80030008, 20},
    {0x80030009, 0x80030009, 219},
    {0x80030012, 0x80030012, 221},
    {0x80030013, 0x80030013, 69},
    {0x80030019, 0x80030019, 68},
    {0x8003001D, 0x8003001E, 68},
    {0x80030020, 0x80030021, 179},
    {0x80030050, 0x80030050, 42},
    {0x80030057, 0x80030057, 9},
    {0x80030070, 0x80030070, 140},
    {0x800300F0, 0x800300F0, 222},
    {0x800300FA, 0x800300FA, 4},
    {0x800300FB, 0x800300FC, 9},
    {0x800300FE, 0x800300FE, 80},
    {0x800300FF, 0x800300FF, 9},
    {0x80030100, 0x80030100, 179},
    {0x80030101, 0x80030109, 223},
    {0x80030110, 0x80030112, 223},
    {0x80030201, 0x80030202, 223},
    {0x80030305, 0x8003030B, 223},
    // COM class registration and monikers.
    {0x80040154, 0x80040154, 175},
    {0x800401F0, 0x800401F0, 87},
    // File-server resource manager.
    {0x80045301, 0x80045301, 170},
    {0x80045303, 0x80045303, 171},
    {0x80045304, 0x80045304, 26},
    {0x80045305, 0x80045308, 9},
    {0x80045309, 0x80045309, 169},
    {0x8004530A, 0x8004530B, 9},
    {0x8004530D, 0x8004530D, 9},
    {0x8004530E, 0x8004530F, 12},
    {0x80045310, 0x80045310, 171},
    {0x80045311, 0x80045311, 99},
    {0x80045313, 0x80045313, 13},
    {0x80045314, 0x80045314, 140},
    {0x80045315, 0x80045315, 172},
    {0x80045316, 0x80045317, 169},
    {0x80045318, 0x80045318, 9},
    {0x8004531C, 0x8004531C, 169},
    {0x8004531E, 0x8004531E, 9},
    {0x8004531F, 0x80045320, 169},
    {0x80045321, 0x80045321, 9},
    {0x80045324, 0x80045324, 9},
    {0x80045328, 0x8004532A, 9},
    {0x8004532C, 0x8004532E, 169},
    {0x8004532F, 0x8004532F, 217},
    {0x80045330, 0x80045335, 169},
    // Wrapped Win32 errors, ahead of the facility rule.
    {0x80070002, 0x80070002, 14},
    {0x80070005, 0x80070005, 44},
    {0x8007007B, 0x8007007B, 24},
    {0x800704B8, 0x800704B8, 38},
    {0x800704BC, 0x800704BC, 12},
    // Security support provider.
    {0x80090350, 0x80090350, 90},
};

// errno -> code.
constexpr CodeRow kErrnoRows[] = {
    {0, 0, 0},    {1, 1, 44},  {2, 2, 43},   {4, 4, 4},    {5, 5, 68},  {7, 7, 9},   {12, 12, 20},
    {13, 13, 44}, {14, 14, 9}, {17, 17, 42}, {20, 20, 26}, {22, 22, 9}, {38, 38, 9},
};

// NTSTATUS -> Win32 error, then translated by the Win32 rule. Only the statuses whose final
// code is not StatusOsFunctionFailed are listed: that is what every other status gives.
constexpr NativeRow kNtStatusToWin32Rows[] = {
    // Success and informational.
    {0x00000000, 0x00000000, 0, 0},
    {0x00000106, 0x00000106, 1300, 1300},
    {0x40000002, 0x40000002, 87, 87},
    // Security support provider.
    {0x80090301, 0x80090301, 6, 6},
    {0x80090302, 0x80090302, 1, 1},
    {0x80090303, 0x80090303, 53, 53},
    {0x80090308, 0x80090309, 87, 87},
    {0x8009030A, 0x8009030A, 50, 50},
    {0x8009030C, 0x8009030C, 1326, 1326},
    {0x8009030D, 0x8009030D, 87, 87},
    {0x8009030F, 0x80090310, 5, 5},
    {0x80090311, 0x80090311, 1311, 1311},
    {0x80090320, 0x80090320, 87, 87},
    {0x80090326, 0x80090327, 87, 87},
    {0x80090328, 0x80090328, 1330, 1330},
    {0x80090331, 0x80090331, 1, 1},
    // Errors.
    {0xC0000002, 0xC0000002, 1, 1},
    {0xC0000003, 0xC0000003, 87, 87},
    {0xC0000008, 0xC0000008, 6, 6},
    {0xC000000B, 0xC000000B, 87, 87},
    {0xC000000D, 0xC000000D, 87, 87},
    {0xC000000E, 0xC000000F, 2, 2},
    {0xC0000010, 0xC0000010, 1, 1},
    {0xC0000011, 0xC0000011, 38, 38},
    {0xC0000017, 0xC0000017, 8, 8},
    {0xC000001A, 0xC000001B, 87, 87},
    {0xC000001C, 0xC000001C, 1, 1},
    {0xC000001E, 0xC000001F, 5, 5},
    {0xC0000021, 0xC0000022, 5, 5},
    {0xC0000024, 0xC0000024, 6, 6},
    {0xC0000030, 0xC0000030, 87, 87},
    {0xC0000033, 0xC0000033, 123, 123},
    {0xC0000034, 0xC0000034, 2, 2},
    {0xC0000035, 0xC0000035, 183, 183},
    {0xC0000037, 0xC0000037, 6, 6},
    {0xC000003A, 0xC000003A, 3, 3},
    {0xC0000040, 0xC0000040, 8, 8},
    {0xC0000041, 0xC0000041, 5, 5},
    {0xC0000042, 0xC0000042, 6, 6},
    {0xC0000043, 0xC0000043, 32, 32},
    {0xC0000045, 0xC0000045, 87, 87},
    {0xC0000048, 0xC0000049, 87, 87},
    {0xC000004B, 0xC000004B, 5, 5},
    {0xC000004C, 0xC000004E, 87, 87},
    {0xC0000054, 0xC0000055, 33, 33},
    {0xC0000056, 0xC0000056, 5, 5},
    {0xC0000057, 0xC0000057, 50, 50},
    {0xC000005A, 0xC000005C, 1307, 1309},
    {0xC000005E, 0xC000005E, 1311, 1311},
    {0xC0000060, 0xC0000066, 1313, 1319},
    {0xC000006B, 0xC0000073, 1324, 1332},
    {0xC000007A, 0xC000007A, 127, 127},
    {0xC000007C, 0xC000007C, 1008, 1008},
    {0xC000007F, 0xC000007F, 112, 112},
    {0xC0000087, 0xC0000087, 14, 14},
    {0xC0000097, 0xC0000097, 8, 8},
    {0xC000009B, 0xC000009B, 3, 3},
    {0xC00000A5, 0xC00000A5, 1346, 1346},
    {0xC00000A9, 0xC00000A9, 87, 87},
    {0xC00000AF, 0xC00000AF, 1, 1},
    {0xC00000B6, 0xC00000B6, 38, 38},
    {0xC00000BA, 0xC00000BA, 5, 5},
    {0xC00000BB, 0xC00000BB, 50, 50},
    {0xC00000BE, 0xC00000BE, 53, 53},
    {0xC00000C4, 0xC00000C4, 59, 59},
    {0xC00000C9, 0xC00000C9, 64, 64},
    {0xC00000CC, 0xC00000CC, 67, 67},
    {0xC00000D4, 0xC00000D4, 17, 17},
    {0xC00000D5, 0xC00000D5, 5, 5},
    {0xC00000DF, 0xC00000DF, 1355, 1355},
    {0xC00000EF, 0xC00000FA, 87, 87},
    {0xC00000FB, 0xC00000FB, 3, 3},
    {0xC00000FC, 0xC00000FC, 1056, 1056},
    {0xC0000101, 0xC0000101, 145, 145},
    {0xC0000106, 0xC0000106, 206, 206},
    {0xC000010A, 0xC000010A, 5, 5},
    {0xC000010B, 0xC000010B, 1367, 1367},
    {0xC000010E, 0xC000010E, 1056, 1056},
    {0xC0000121, 0xC0000121, 5, 5},
    {0xC0000123, 0xC0000123, 5, 5},
    {0xC0000128, 0xC0000128, 6, 6},
    {0xC0000135, 0xC0000135, 126, 126},
    {0xC0000139, 0xC0000139, 127, 127},
    {0xC000013B, 0xC000013C, 64, 64},
    {0xC000013E, 0xC0000141, 59, 59},
    {0xC0000155, 0xC0000155, 1380, 1380},
    {0xC000015B, 0xC000015B, 1385, 1385},
    {0xC0000182, 0xC0000182, 87, 87},
    {0xC0000192, 0xC0000192, 1792, 1792},
    {0xC0000193, 0xC0000193, 1793, 1793},
    {0xC0000198, 0xC000019A, 1807, 1809},
    {0xC0000203, 0xC0000203, 59, 59},
    {0xC000020B, 0xC000020D, 64, 64},
    {0xC000020F, 0xC0000215, 59, 59},
    {0xC0000216, 0xC0000217, 50, 50},
    {0xC000021C, 0xC000021C, 6118, 6118},
    {0xC0000224, 0xC0000224, 1907, 1907},
    {0xC0000229, 0xC0000229, 87, 87},
    {0xC0000233, 0xC0000233, 1908, 1908},
    {0xC0000234, 0xC0000234, 1909, 1909},
    {0xC0000235, 0xC0000235, 6, 6},
    {0xC0000240, 0xC0000240, 1235, 1235},
    {0xC0000246, 0xC0000248, 1238, 1240},
    {0xC000025E, 0xC000025E, 1058, 1058},
    {0xC0000263, 0xC0000263, 127, 127},
    {0xC0000275, 0xC0000275, 4390, 4390},
    {0xC000028A, 0xC000028B, 5, 5},
    {0xC000028D, 0xC0000290, 5, 5},
    {0xC000029C, 0xC000029C, 1, 1},
    {0xC00002A1, 0xC00002A4, 8202, 8205},
    {0xC00002A6, 0xC00002A6, 8207, 8207},
    {0xC00002AB, 0xC00002AB, 8212, 8212},
    {0xC00002DD, 0xC00002DD, 50, 50},
    {0xC00002F0, 0xC00002F0, 2, 2},
    // RPC.
    {0xC0020003, 0xC0020003, 6, 6},
    {0xC0020017, 0xC0020017, 1722, 1722},
    {0xC002001B, 0xC002001B, 1726, 1726},
    {0xC0030004, 0xC0030005, 6, 6},
};

// NTSTATUS -> HRESULT, then translated by the HRESULT rule. Most of these end at
// StatusUnspecified; the structured-storage ones at StatusPropertyStoreUnspecified.
constexpr NativeRow kNtStatusToHResultRows[] = {
    {0xC00002EE, 0xC00002EE, 0x80090333, 0x80090333},
    {0xC00002EF, 0xC00002EF, 0x80090334, 0x80090334},
    {0xC00002F1, 0xC00002FA, 0x80090335, 0x8009033E},
    {0xC00002FB, 0xC00002FD, 0x80090340, 0x80090342},
    {0xC0000305, 0xC000030B, 0x80030305, 0x8003030B},
    {0xC0000322, 0xC0000322, 0x80090348, 0x80090348},
    {0xC0000351, 0xC0000351, 0x80090343, 0x80090343},
    {0xC0000356, 0xC0000356, 0xC0090001, 0xC0090001},
    {0xC000035B, 0xC000035B, 0x80090346, 0x80090346},
    {0xC0000380, 0xC0000380, 0x8010006B, 0x8010006B},
    {0xC0000381, 0xC0000381, 0x8010006C, 0x8010006C},
    {0xC0000382, 0xC0000382, 0x8010006F, 0x8010006F},
    {0xC0000383, 0xC0000383, 0x8010000C, 0x8010000C},
    {0xC0000384, 0xC0000384, 0x8009000D, 0x8009000D},
    {0xC0000385, 0xC0000385, 0x8010002C, 0x8010002C},
    {0xC0000386, 0xC0000386, 0x80090016, 0x80090016},
    {0xC0000387, 0xC0000387, 0x8010002F, 0x8010002F},
    {0xC0000389, 0xC000038D, 0x80090351, 0x80090355},
};

static_assert(IsSortedAndDisjoint(kWin32Rows), "Win32 rows out of order");
static_assert(IsSortedAndDisjoint(kNetApiRows), "network-management rows out of order");
static_assert(IsSortedAndDisjoint(kHResultRows), "HRESULT rows out of order");
static_assert(IsSortedAndDisjoint(kErrnoRows), "errno rows out of order");
static_assert(IsSortedAndDisjoint(kNtStatusToWin32Rows), "NTSTATUS rows out of order");
static_assert(IsSortedAndDisjoint(kNtStatusToHResultRows), "NTSTATUS rows out of order");
static_assert(TargetRangesMatch(kNtStatusToWin32Rows), "NTSTATUS range and target differ");
static_assert(TargetRangesMatch(kNtStatusToHResultRows), "NTSTATUS range and target differ");

constexpr bool NtStatusTablesDisjoint() {
    for (const NativeRow& row : kNtStatusToHResultRows) {
        for (std::uint32_t value = row.first; value <= row.last; ++value) {
            if (FindRow(kNtStatusToWin32Rows, value) != nullptr) {
                return false;
            }
        }
    }
    return true;
}
static_assert(NtStatusTablesDisjoint(), "an NTSTATUS is listed twice");

constexpr StatusCode FromWin32Error(std::uint32_t value, bool noFallback) noexcept;

constexpr StatusCode FromNetApiStatus(std::uint32_t value, bool noFallback) noexcept {
    if (const CodeRow* row = FindRow(kNetApiRows, value)) {
        return row->code;
    }
    return noFallback ? StatusOsFunctionFailed : FromWin32Error(value, true);
}

// Win32 and network-management codes share one number space, so each source gives an
// unlisted value one look-up in the other's table; the second look-up never falls back.
constexpr StatusCode FromWin32Error(std::uint32_t value, bool noFallback) noexcept {
    if (const CodeRow* row = FindRow(kWin32Rows, value)) {
        return row->code;
    }
    return noFallback ? StatusOsFunctionFailed : FromNetApiStatus(value, true);
}

constexpr StatusCode FromHResult(std::uint32_t value) noexcept {
    if (const CodeRow* row = FindRow(kHResultRows, value)) {
        return row->code;
    }
    if ((value & 0x80000000u) == 0) {
        return StatusSuccess;
    }
    // The facility tests compare all 16 upper bits: 0xC0070005 is not a wrapped Win32 error.
    switch (value >> 16) {
    case 0x8005:
        return StatusDirectoryServiceUnknown;
    case 0x8007: {
        // 0x80070000 wraps "no error" but still reports a failure; it must not read as
        // success.
        const StatusCode code = FromWin32Error(value & 0xFFFFu, false);
        return code == StatusSuccess ? StatusUnspecified : code;
    }
    default:
        return StatusUnspecified;
    }
}

constexpr StatusCode FromErrno(std::uint32_t value) noexcept {
    const CodeRow* row = FindRow(kErrnoRows, value);
    return row != nullptr ? row->code : StatusUnspecified;
}

constexpr StatusCode FromNtStatusTable(std::uint32_t value) noexcept {
    if (const NativeRow* row = FindRow(kNtStatusToWin32Rows, value)) {
        return FromWin32Error(Target(*row, value), false);
    }
    if (const NativeRow* row = FindRow(kNtStatusToHResultRows, value)) {
        return FromHResult(Target(*row, value));
    }
    return StatusOsFunctionFailed;
}

// The NTSTATUS table lists only statuses that end somewhere other than the default, so every
// Win32 error it names must be one the Win32 rule knows.
constexpr bool NtStatusWin32TargetsKnown() {
    for (const NativeRow& row : kNtStatusToWin32Rows) {
        for (std::uint32_t value = row.first; value <= row.last; ++value) {
            if (FromNtStatusTable(value) == StatusOsFunctionFailed) {
                return false;
            }
        }
    }
    return true;
}
static_assert(NtStatusWin32TargetsKnown(), "an NTSTATUS row names an unmapped Win32 error");

} // namespace

StatusCode TranslateNativeError(ErrorSource source, std::uint32_t value, bool noFallback) noexcept {
    switch (source) {
    case ErrorSource::Win32Error:
        return FromWin32Error(value, noFallback);
    case ErrorSource::HResult:
        return FromHResult(value);
    case ErrorSource::NetApiStatus:
        return FromNetApiStatus(value, noFallback);
    case ErrorSource::NtStatus:
        if (value == 0) {
            return StatusSuccess;
        }
        return FromWin32Error(LsaNtStatusToWinError(static_cast<NTSTATUS>(value)), false);
    case ErrorSource::CrtErrno:
        return FromErrno(value);
    case ErrorSource::NtStatusTable:
        return FromNtStatusTable(value);
    }
    return StatusUnspecified;
}

StatusCode StatusFromWin32Error(std::uint32_t error) noexcept {
    return TranslateNativeError(ErrorSource::Win32Error, error, false);
}

StatusCode StatusFromHResult(std::uint32_t hr) noexcept {
    return TranslateNativeError(ErrorSource::HResult, hr, false);
}

StatusCode StatusFromNetApiStatus(std::uint32_t status) noexcept {
    return TranslateNativeError(ErrorSource::NetApiStatus, status, false);
}

StatusCode StatusFromNtStatus(std::uint32_t status) noexcept {
    return TranslateNativeError(ErrorSource::NtStatus, status, false);
}

StatusCode StatusFromErrno(std::uint32_t error) noexcept {
    return TranslateNativeError(ErrorSource::CrtErrno, error, false);
}

StatusCode StatusFromNtStatusTable(std::uint32_t status) noexcept {
    return TranslateNativeError(ErrorSource::NtStatusTable, status, false);
}
