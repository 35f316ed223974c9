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
    // System.Rating: stars for the ranges from 1 to 99; 0 is in no range and the open range
    // from 100 has no label, so both show the number.
    {"rating in no range", kRating, VT_UI4, 0, 0, 0, S_OK, "0"},
    {"one star", kRating, VT_UI4, 1, 0, 0, S_OK, "1 Star"},
    {"one star, top", kRating, VT_UI4, 12, 0, 0, S_OK, "1 Star"},
    {"two stars", kRating, VT_UI4, 13, 0, 0, S_OK, "2 Stars"},
    {"four stars", kRating, VT_UI4, 75, 0, 0, S_OK, "4 Stars"},
    {"five stars", kRating, VT_UI4, 99, 0, 0, S_OK, "5 Stars"},
    {"beyond the stars", kRating, VT_UI4, 100, 0, 0, S_OK, "100"},
    {"far beyond the stars", kRating, VT_UI4, 150, 0, 0, S_OK, "150"},
    {"archive", kAttributes, VT_UI4, 0x20, 0, 0, S_OK, "A"},
    {"read-only archive", kAttributes, VT_UI4, 0x21, 0, 0, S_OK, "RA"},
    {"hidden system", kAttributes, VT_UI4, 0x26, 0, 0, S_OK, "HSA"},
    {"folder link", kAttributes, VT_UI4, 0x410, 0, 0, S_OK, "DL"},
    // Attribute letters are what they are whatever the flags ask for, the name prefix too.
    {"attributes with name", kAttributes, VT_UI4, 0x21, 0, PDFF_PREFIXNAME, S_OK, "RA"},
    {"attributes, every flag", kAttributes, VT_UI4, 0x26, 0, 0x3FFF, S_OK, "HSA"},
    {"ansi text", kTitle, VT_LPSTR, 0, 0, 0, S_OK, "Hello"},
    {"date", kTitle, VT_FILETIME, kJan31, 0, 0, S_OK,
     "<U+200E>1/<U+200E>31/<U+200E>2024 <U+200F><U+200E>2:05 PM"},
    {"date long time", kTitle, VT_FILETIME, kJan31, 0, PDFF_LONGTIME, S_OK,
     "<U+200E>1/<U+200E>31/<U+200E>2024 <U+200F><U+200E>2:05:09 PM"},
    {"date long date", kTitle, VT_FILETIME, kJan31, 0, PDFF_LONGDATE, S_OK,
     "<U+200E>Wednesday, January 31, 2024 <U+200F><U+200E>2:05 PM"},
    {"date only", kTitle, VT_FILETIME, kJan31, 0, PDFF_HIDETIME, S_OK,
     "<U+200E>1/<U+200E>31/<U+200E>2024"},
    {"time only", kTitle, VT_FILETIME, kJan31, 0, DWORD(PDFF_HIDEDATE) | PDFF_LONGTIME, S_OK,
     "<U+200E>2:05:09 PM"},
    {"no reading order", kTitle, VT_FILETIME, kJan31, 0, PDFF_NOAUTOREADINGORDER, S_OK,
     "1/31/2024 2:05 PM"},
    {"unused flags", kTitle, VT_FILETIME, kJan31, 0, DWORD(PDFF_FILENAME) | PDFF_READONLY, S_OK,
     "<U+200E>1/<U+200E>31/<U+200E>2024 <U+200F><U+200E>2:05 PM"},
    {"first day", kTitle, VT_FILETIME, 0, 0, PDFF_NOAUTOREADINGORDER, S_OK, "1/1/1601 12:00 AM"},
    {"blob", kTitle, VT_BLOB, 0, 0, 0, E_INVALIDARG, "(null)"},
    {"interface", kTitle, VT_UNKNOWN, 0, 0, 0, E_INVALIDARG, "(null)"},
    {"clsid", kTitle, VT_CLSID, 0, 0, 0, E_INVALIDARG, "(null)"},
};

TEST_F(StandinTest, FormatsEachValueType) {
    WCHAR hello[] = {'H', 'e', 'l', 'l', 'o', 0};
    char ansiHello[] = "Hello";
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
        case VT_LPSTR:
            value.pszVal = ansiHello;
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

struct CoerceCase {
    const char16_t* name;
    const char16_t* text;
    HRESULT result;
    VARTYPE type;
    const char* shown;
};

constexpr CoerceCase kCoerceCases[] = {
    // Unsigned integers: decimal or 0x hexadecimal, a sign, blanks around.
    {u"System.Rating", u"50", S_OK, VT_UI4, "3 Stars"},
    {u"System.Rating", u" 7 ", S_OK, VT_UI4, "1 Star"},
    {u"System.Rating", u"+1", S_OK, VT_UI4, "1 Star"},
    {u"System.Rating", u"0x10", S_OK, VT_UI4, "2 Stars"},
    {u"System.Rating", u"0X63", S_OK, VT_UI4, "5 Stars"},
    {u"System.Rating", u"0xFFFFFFFF", S_OK, VT_UI4, "4294967295"},
    // Text that is no number, and numbers the type cannot hold, fail apart.
    {u"System.Rating", u"abc", DISP_E_TYPEMISMATCH, VT_EMPTY, ""},
    {u"System.Rating", u"5 stars", DISP_E_TYPEMISMATCH, VT_EMPTY, ""},
    {u"System.Rating", u"0x", DISP_E_TYPEMISMATCH, VT_EMPTY, ""},
    {u"System.Rating", u"+", DISP_E_TYPEMISMATCH, VT_EMPTY, ""},
    {u"System.Rating", u"1 2", DISP_E_TYPEMISMATCH, VT_EMPTY, ""},
    {u"System.Rating", u"-1", TYPE_E_TYPEMISMATCH, VT_EMPTY, ""},
    {u"System.Rating", u"4294967296", DISP_E_OVERFLOW, VT_EMPTY, ""},
    {u"System.Rating", u"0x100000000", DISP_E_OVERFLOW, VT_EMPTY, ""},
    {u"System.Rating", u"99999999999999999999999", DISP_E_OVERFLOW, VT_EMPTY, ""},
    {u"System.Size", u"18446744073709551615", S_OK, VT_UI8, "15.9 EB"},
    {u"System.Size", u"18446744073709551616", DISP_E_OVERFLOW, VT_EMPTY, ""},
    // System.Rating's ranges: a value in none of them is emptied; the open range from 100
    // keeps it.
    {u"System.Rating", u"1", S_OK, VT_UI4, "1 Star"},
    {u"System.Rating", u"99", S_OK, VT_UI4, "5 Stars"},
    {u"System.Rating", u"0", S_OK, VT_EMPTY, ""},
    {u"System.Rating", u"-0", S_OK, VT_EMPTY, ""},
    {u"System.Rating", u"100", S_OK, VT_UI4, "100"},
    {u"System.Rating", u"150", S_OK, VT_UI4, "150"},
    {u"System.Rating", u"  ", S_OK, VT_EMPTY, ""},
    // Strings and string vectors: trimmed, empty and repeated elements dropped.
    {u"System.Keywords", u" a ;; b;c ;a", S_OK, VT_VECTOR | VT_LPWSTR, "a; b; c"},
    {u"System.Keywords", u" ; ;", S_OK, VT_EMPTY, ""},
    {u"System.Title", u" trimmed\t", S_OK, VT_LPWSTR, "trimmed"},
    {u"System.Title", u" \r\n\t", S_OK, VT_EMPTY, ""},
    {u"System.Title", u"two\tlines\n", S_OK, VT_LPWSTR, "two lines"},
    // Dates: the canonical form, milliseconds optional, and ISO 8601.
    {u"System.DateModified", u"2024/01/31:14:05:09.000", S_OK, VT_FILETIME,
     "<U+200E>1/<U+200E>31/<U+200E>2024 <U+200F><U+200E>2:05 PM"},
    {u"System.DateModified", u"2024/01/31:23:59:59", S_OK, VT_FILETIME,
     "<U+200E>1/<U+200E>31/<U+200E>2024 <U+200F><U+200E>11:59 PM"},
    {u"System.DateModified", u"2024-01-31T14:05:09Z", S_OK, VT_FILETIME,
     "<U+200E>1/<U+200E>31/<U+200E>2024 <U+200F><U+200E>2:05 PM"},
    {u"System.DateModified", u"1601/01/01:23:59:59.999", S_OK, VT_EMPTY, ""},
    {u"System.DateModified", u"1601-01-01T23:59:59Z", S_OK, VT_EMPTY, ""},
    {u"System.DateModified", u"2024/01/31", DISP_E_TYPEMISMATCH, VT_EMPTY, ""},
    {u"System.DateModified", u"2024/01/31:14:05:09.1234", DISP_E_TYPEMISMATCH, VT_EMPTY, ""},
    {u"System.DateModified", u"2024/13/01:00:00:00", DISP_E_TYPEMISMATCH, VT_EMPTY, ""},
    {u"System.DateModified", u"31/01/2024", DISP_E_TYPEMISMATCH, VT_EMPTY, ""},
};

// The conversion a store applies to written text, seen through PSCoerceToCanonicalValue; a
// failure leaves the value cleared.
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
