// Display text from the stand-in's PSFormatForDisplayAlloc: what each value type renders as,
// and which format flags change it.
#include "StandinLibrary.h"

namespace standin_test {
namespace {

constexpr std::uint64_t kJan31 = 133511835090000000ull; // 2024-01-31 14:05:09 UTC, a Wednesday
constexpr PROPERTYKEY kRating = {
    {0x64440492, 0x4C8B, 0x11D1, {0x8B, 0x70, 0x08, 0x00, 0x36, 0xB1, 0x1A, 0x03}}, 9};

struct FormatCase {
    const char* what;
    PROPERTYKEY key;
    VARTYPE type;
    std::int64_t number; // integers, booleans, FILETIME ticks
    double real;
    DWORD flags;
    HRESULT result;
    const char* text;
};

constexpr FormatCase kFormatCases[] = {
    {"empty", kTitle, VT_EMPTY, 0, 0, 0, S_FALSE, ""},
    {"null", kTitle, VT_NULL, 0, 0, 0, S_FALSE, ""},
    {"text", kTitle, VT_LPWSTR, 0, 0, 0, S_OK, "Hello"},
    {"text with name", kTitle, VT_LPWSTR, 0, 0, PDFF_PREFIXNAME, S_OK, "Title: Hello"},
    {"strings", kTitle, VT_VECTOR | VT_LPWSTR, 0, 0, 0, S_OK, "red; green; blue"},
    {"i4", kRating, VT_I4, -42, 0, 0, S_OK, "-42"},
    {"ui4", kRating, VT_UI4, 4294967295ll, 0, 0, S_OK, "4294967295"},
    {"ui8", kRating, VT_UI8, 1234567, 0, 0, S_OK, "1234567"},
    {"i8", kRating, VT_I8, -9000000000ll, 0, 0, S_OK, "-9000000000"},
    {"true", kRating, VT_BOOL, VARIANT_TRUE, 0, 0, S_OK, "Yes"},
    {"false", kRating, VT_BOOL, VARIANT_FALSE, 0, 0, S_OK, "No"},
    {"double", kRating, VT_R8, 0, 1.5, 0, S_OK, "1.5"},
    {"size 0", kSize, VT_UI8, 0, 0, 0, S_OK, "0 bytes"},
    {"size 1023", kSize, VT_UI8, 1023, 0, 0, S_OK, "1023 bytes"},
    {"size 1024", kSize, VT_UI8, 1024, 0, 0, S_OK, "1.00 KB"},
    {"size 1234", kSize, VT_UI8, 1234, 0, 0, S_OK, "1.20 KB"},
    {"size 10.5K", kSize, VT_UI8, 10752, 0, 0, S_OK, "10.5 KB"},
    {"size below 1M", kSize, VT_UI8, 1048575, 0, 0, S_OK, "1023 KB"},
    {"size 1M", kSize, VT_UI8, 1048576, 0, 0, S_OK, "1.00 MB"},
    {"size 5.5G", kSize, VT_UI8, 5905580032ll, 0, 0, S_OK, "5.50 GB"},
    {"size as i4", kSize, VT_I4, 2048, 0, 0, S_OK, "2.00 KB"},
    {"size in KB", kSize, VT_UI8, 1234, 0, PDFF_ALWAYSKB, S_OK, "2 KB"},
    {"size in KB, grouped", kSize, VT_UI8, 1264640, 0, PDFF_ALWAYSKB, S_OK, "1,235 KB"},
    {"date", kTitle, VT_FILETIME, kJan31, 0, 0, S_OK, "2024-01-31 14:05"},
    {"date long time", kTitle, VT_FILETIME, kJan31, 0, PDFF_LONGTIME, S_OK, "2024-01-31 14:05:09"},
    {"date long date", kTitle, VT_FILETIME, kJan31, 0, PDFF_LONGDATE, S_OK,
     "Wednesday, January 31, 2024 14:05"},
    {"date only", kTitle, VT_FILETIME, kJan31, 0, PDFF_HIDETIME, S_OK, "2024-01-31"},
    {"time only", kTitle, VT_FILETIME, kJan31, 0, DWORD(PDFF_HIDEDATE) | PDFF_LONGTIME, S_OK,
     "14:05:09"},
    {"unused flags", kTitle, VT_FILETIME, kJan31, 0, DWORD(PDFF_FILENAME) | PDFF_READONLY, S_OK,
     "2024-01-31 14:05"},
    {"first day", kTitle, VT_FILETIME, 0, 0, 0, S_OK, "1601-01-01 00:00"},
    {"blob", kTitle, VT_BLOB, 0, 0, 0, E_INVALIDARG, "(null)"},
    {"interface", kTitle, VT_UNKNOWN, 0, 0, 0, E_INVALIDARG, "(null)"},
    {"clsid", kTitle, VT_CLSID, 0, 0, 0, E_INVALIDARG, "(null)"},
};

TEST_F(StandinTest, FormatsEachValueType) {
    WCHAR hello[] = {'H', 'e', 'l', 'l', 'o', 0};
    WCHAR red[] = {'r', 'e', 'd', 0}, green[] = {'g', 'r', 'e', 'e', 'n', 0},
          blue[] = {'b', 'l', 'u', 'e', 0};
    LPWSTR colours[] = {red, green, blue};
    BYTE bytes[] = {1, 2};
    GUID clsid = kSummary;
    for (const FormatCase& test : kFormatCases) {
        SCOPED_TRACE(test.what);
        PROPVARIANT value;
        std::memset(&value, 0, sizeof value);
        value.vt = test.type;
        value.hVal.QuadPart = test.number;
        switch (test.type) {
        case VT_BOOL:
            value.boolVal = static_cast<VARIANT_BOOL>(test.number);
            break;
        case VT_R8:
            value.dblVal = test.real;
            break;
        case VT_LPWSTR:
            value.pwszVal = hello;
            break;
        case VT_VECTOR | VT_LPWSTR:
            value.calpwstr.cElems = 3;
            value.calpwstr.pElems = colours;
            break;
        case VT_BLOB:
            value.blob.cbSize = sizeof bytes;
            value.blob.pBlobData = bytes;
            break;
        case VT_UNKNOWN:
            value.punkVal = nullptr;
            break;
        case VT_CLSID:
            value.puuid = &clsid;
            break;
        }
        HRESULT result = E_FAIL;
        EXPECT_EQ(Format(test.key, value, test.flags, &result), test.text);
        EXPECT_EQ(result, test.result);
    }
}

TEST_F(StandinTest, FormatIntoBufferTruncates) {
    WCHAR hello[] = {'H', 'e', 'l', 'l', 'o', 0};
    PROPVARIANT value;
    std::memset(&value, 0, sizeof value);
    value.vt = VT_LPWSTR;
    value.pwszVal = hello;
    WCHAR buffer[8];
    EXPECT_EQ(lib->formatForDisplay(kTitle, value, PDFF_DEFAULT, buffer, 8), S_OK);
    EXPECT_EQ(Narrow(buffer), "Hello");
    EXPECT_EQ(lib->formatForDisplay(kTitle, value, PDFF_DEFAULT, buffer, 3),
              HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(Narrow(buffer), "He");
}

struct CoerceCase {
    const char16_t* name;
    const char16_t* text;
    HRESULT result;
    VARTYPE type;
    const char* shown;
};

constexpr CoerceCase kCoerceCases[] = {
    {u"System.Rating", u"50", S_OK, VT_UI4, "50"},
    {u"System.Rating", u" 7 ", S_OK, VT_UI4, "7"},
    {u"System.Rating", u"-1", E_INVALIDARG, VT_LPWSTR, ""},
    {u"System.Rating", u"4294967296", E_INVALIDARG, VT_LPWSTR, ""},
    {u"System.Rating", u"5 stars", E_INVALIDARG, VT_LPWSTR, ""},
    {u"System.Keywords", u" a ;; b;c ", S_OK, VT_VECTOR | VT_LPWSTR, "a; b; c"},
    {u"System.Title", u" as is ", S_OK, VT_LPWSTR, " as is "},
    {u"System.DateModified", u"2024-01-31T14:05:09Z", S_OK, VT_FILETIME, "2024-01-31 14:05"},
    {u"System.DateModified", u"31/01/2024", E_INVALIDARG, VT_LPWSTR, ""},
};

// The conversion a store applies to written text, seen through PSCoerceToCanonicalValue.
TEST_F(StandinTest, CoercesTextToThePropertyType) {
    for (const CoerceCase& test : kCoerceCases) {
        const WString name = W(test.name);
        SCOPED_TRACE(Narrow(name + U16(" ") + W(test.text)));
        const PROPERTYKEY key = KeyOf(name);
        PROPVARIANT value = TaskText(W(test.text));
        EXPECT_EQ(lib->coerce(key, &value), test.result);
        EXPECT_EQ(value.vt, test.type);
        if (SUCCEEDED(test.result)) {
            EXPECT_EQ(Format(key, value), test.shown);
        }
        EXPECT_EQ(lib->clear(&value), S_OK);
    }
}

} // namespace
} // namespace standin_test
