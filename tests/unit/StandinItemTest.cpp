// Items declared through the stand-in's control commands, and the failures tests inject.
#include "StandinLibrary.h"

#include <vector>

namespace standin_test {
namespace {

const WString kItem = W(u"C:\\docs\\item.txt");

TEST_F(StandinTest, DeclaredItemHoldsItsKeysInOrder) {
    Command("item \"C:\\docs\\item.txt\" System.Title=lpwstr:\"Say \"\"hi\"\"\" "
            "{F29F85E0-4FF9-1068-AB91-08002B27B3D9},0=ui4:1 "
            "{F29F85E0-4FF9-1068-AB91-08002B27B3D9},1=empty "
            "{11111111-2222-3333-4444-555555555555},9=i4:-3 System.Title=lpwstr:second");
    IPropertyStore* store = Open(kItem, GPS_DEFAULT);
    ASSERT_NE(store, nullptr);
    DWORD count = 0;
    EXPECT_EQ(store->GetCount(&count), S_OK);
    ASSERT_EQ(count, 5u);
    const DWORD pids[] = {2, 0, 1, 9, 2};
    for (DWORD i = 0; i < count; ++i) {
        PROPERTYKEY key{};
        EXPECT_EQ(store->GetAt(i, &key), S_OK);
        EXPECT_EQ(key.pid, pids[i]);
    }
    EXPECT_EQ(Read(store, kTitle), "Say \"hi\""); // the first of two entries with one key
    store->Release();
    EXPECT_EQ(
        Command("show \"C:\\docs\\item.txt\""),
        "System.Title=lpwstr:\"Say \"\"hi\"\"\" {F29F85E0-4FF9-1068-AB91-08002B27B3D9},0=ui4:1 "
        "{F29F85E0-4FF9-1068-AB91-08002B27B3D9},1=empty "
        "{11111111-2222-3333-4444-555555555555},9=i4:-3 System.Title=lpwstr:\"second\"");
}

struct TypeCase {
    const char* declared;
    VARTYPE type;
    HRESULT formatResult;
    const char* text;
};

constexpr TypeCase kTypeCases[] = {
    {"empty", VT_EMPTY, S_FALSE, ""},
    {"lpwstr:\"a b\"", VT_LPWSTR, S_OK, "a b"},
    {"strings:\"x\",y,\"z, w\"", VT_VECTOR | VT_LPWSTR, S_OK, "x; y; z, w"},
    {"strings:", VT_VECTOR | VT_LPWSTR, S_OK, ""},
    {"i4:-2147483648", VT_I4, S_OK, "-2147483648"},
    {"ui4:4294967295", VT_UI4, S_OK, "4294967295"},
    {"i8:-5", VT_I8, S_OK, "-5"},
    {"ui8:18446744073709551615", VT_UI8, S_OK, "18446744073709551615"},
    {"bool:true", VT_BOOL, S_OK, "Yes"},
    {"filetime:2024-01-31T14:05:09.5Z", VT_FILETIME, S_OK,
     "<U+200E>1/<U+200E>31/<U+200E>2024 <U+200F><U+200E>2:05 PM"},
    {"filetime:0", VT_FILETIME, S_OK, "<U+200E>1/<U+200E>1/<U+200E>1601 <U+200F><U+200E>12:00 AM"},
    {"double:-0.25", VT_R8, S_OK, "-0.25"},
    {"blob:00FF10", VT_BLOB, E_INVALIDARG, "(null)"},
    {"unknown", VT_UNKNOWN, E_INVALIDARG, "(null)"},
};

// Every value type a test can declare comes back with its type, formats, and is released by
// PropVariantClear (the fixture's check sees any block or reference left).
TEST_F(StandinTest, DeclaredValuesOfEveryType) {
    for (const TypeCase& test : kTypeCases) {
        SCOPED_TRACE(test.declared);
        Command(std::string("item \"C:\\docs\\item.txt\" System.Title=") + test.declared);
        IPropertyStore* store = Open(kItem, GPS_DEFAULT);
        ASSERT_NE(store, nullptr);
        PROPVARIANT value;
        std::memset(&value, 0, sizeof value);
        EXPECT_EQ(store->GetValue(kTitle, &value), S_OK);
        EXPECT_EQ(value.vt, test.type);
        HRESULT result = E_FAIL;
        EXPECT_EQ(Format(kTitle, value, 0, &result), test.text);
        EXPECT_EQ(result, test.formatResult);
        EXPECT_EQ(lib->clear(&value), S_OK);
        EXPECT_EQ(value.vt, VT_EMPTY);
        store->Release();
    }
}

TEST_F(StandinTest, DeclaredItemCommitsSurviveReopening) {
    Command(
        "item \"C:\\docs\\item.txt\" System.Rating=ui4:1 {11111111-2222-3333-4444-555555555555},"
        "3=lpwstr:free");
    IPropertyStore* store = Open(kItem, GPS_READWRITE);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(WriteText(store, KeyOf(W(u"System.Rating")), W(u"99")), S_OK);
    EXPECT_EQ(WriteText(store, KeyOf(W(u"System.Rating")), W(u"x")), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(WriteText(store, kTitle, W(u"New")), S_OK);
    // A key without a name takes the text as it is; one the schema keeps read-only does not.
    EXPECT_EQ(
        WriteText(
            store,
            {{0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}}, 3},
            W(u"42")),
        S_OK);
    EXPECT_EQ(WriteText(store, kSize, W(u"1")), STG_E_INVALIDPARAMETER);
    EXPECT_EQ(Command("show \"C:\\docs\\item.txt\""),
              "System.Rating=ui4:1 {11111111-2222-3333-4444-555555555555},3=lpwstr:\"free\"");
    EXPECT_EQ(store->Commit(), S_OK);
    store->Release();
    EXPECT_EQ(Command("show \"C:\\docs\\item.txt\""),
              "System.Rating=ui4:99 {11111111-2222-3333-4444-555555555555},3=lpwstr:\"42\" "
              "System.Title=lpwstr:\"New\"");
    store = Open(kItem, GPS_DEFAULT);
    EXPECT_EQ(Read(store, KeyOf(W(u"System.Rating"))), "5 Stars");
    store->Release();
}

enum class Probe { Open, Count, At1, Value, Set, Commit, Name, DisplayName, Format, ByName, Key };

struct FailureCase {
    const char* command;
    Probe probe;
    HRESULT result;
    const char* text; // what the call left ("(null)" for nothing), "" when it hands out none
};

constexpr FailureCase kFailureCases[] = {
    {"fail open E_FAIL", Probe::Open, E_FAIL, ""},
    {"fail open 0x80070005 in \"C:\\docs\\item.txt\"", Probe::Open, E_ACCESSDENIED, ""},
    {"fail open E_FAIL in \"C:\\docs\\other.txt\"", Probe::Open, S_OK, ""},
    {"fail GetCount 0x8000FFFF", Probe::Count, E_UNEXPECTED, ""},
    {"fail GetAt 1 E_FAIL", Probe::At1, E_FAIL, ""},
    {"fail GetAt 0 E_FAIL", Probe::At1, S_OK, ""},
    {"fail GetValue System.Title E_OUTOFMEMORY", Probe::Value, E_OUTOFMEMORY, ""},
    {"fail GetValue System.Rating E_OUTOFMEMORY", Probe::Value, S_OK, ""},
    {"fail SetValue INPLACE_S_TRUNCATED", Probe::Set, INPLACE_S_TRUNCATED, "written"},
    {"fail SetValue System.Title STG_E_ACCESSDENIED", Probe::Set, STG_E_ACCESSDENIED, "Old"},
    {"fail Commit 0x80030070 in \"C:\\docs\\item.txt\"", Probe::Commit, (HRESULT)0x80030070, "Old"},
    {"fail PSGetNameFromPropertyKey E_FAIL", Probe::Name, E_FAIL, "System.Title"},
    {"fail PSGetNameFromPropertyKey System.Title E_FAIL null", Probe::Name, E_FAIL, "(null)"},
    {"fail PSGetNameFromPropertyKey null", Probe::Name, S_OK, "(null)"},
    {"fail GetDisplayName E_FAIL", Probe::DisplayName, E_FAIL, "Title"},
    {"fail GetDisplayName System.Title null", Probe::DisplayName, S_OK, "(null)"},
    {"fail GetDisplayName E_FAIL null", Probe::DisplayName, E_FAIL, "(null)"},
    {"fail PSFormatForDisplayAlloc E_INVALIDARG null", Probe::Format, E_INVALIDARG, "(null)"},
    {"fail PSFormatForDisplayAlloc System.Title E_INVALIDARG", Probe::Format, E_INVALIDARG, "Old"},
    {"fail PSGetPropertyDescriptionByName System.Title E_OUTOFMEMORY", Probe::ByName, E_OUTOFMEMORY,
     ""},
    {"fail PSGetPropertyKeyFromName \"System.Title\" 0x8002802B", Probe::Key,
     TYPE_E_ELEMENTNOTFOUND, ""},
};

TEST_F(StandinTest, InjectedFailures) {
    for (const FailureCase& test : kFailureCases) {
        SCOPED_TRACE(test.command);
        Command("reset");
        Command("item \"C:\\docs\\item.txt\" System.Title=lpwstr:Old System.Size=ui8:7");
        Command(test.command);
        std::string text;
        HRESULT result = E_NOTIMPL;
        IPropertyStore* store = nullptr;
        if (test.probe != Probe::Open) {
            store = Open(kItem, GPS_READWRITE);
            ASSERT_NE(store, nullptr);
        }
        PWSTR out = nullptr;
        switch (test.probe) {
        case Probe::Open:
            result = lib->open(kItem.c_str(), nullptr, GPS_DEFAULT, kIidPropertyStore,
                               reinterpret_cast<void**>(&store));
            EXPECT_EQ(store == nullptr, FAILED(result));
            break;
        case Probe::Count: {
            DWORD count = 9;
            result = store->GetCount(&count);
            EXPECT_EQ(count, 0u);
            break;
        }
        case Probe::At1: {
            PROPERTYKEY key = kTitle;
            result = store->GetAt(1, &key);
            EXPECT_EQ(key.pid, SUCCEEDED(result) ? 12u : 0u);
            break;
        }
        case Probe::Value: {
            PROPVARIANT value;
            std::memset(&value, 0, sizeof value);
            result = store->GetValue(kTitle, &value);
            EXPECT_EQ(value.vt, SUCCEEDED(result) ? VT_LPWSTR : VT_EMPTY);
            lib->clear(&value);
            break;
        }
        case Probe::Set:
            result = WriteText(store, kTitle, W(u"written"));
            text = Read(store, kTitle);
            break;
        case Probe::Commit:
            EXPECT_EQ(WriteText(store, kTitle, W(u"New")), S_OK);
            result = store->Commit();
            store->Release();
            store = Open(kItem, GPS_DEFAULT);
            text = Read(store, kTitle); // the declared value stays
            break;
        case Probe::Name:
            result = lib->nameFromKey(kTitle, &out);
            break;
        case Probe::DisplayName: {
            IPropertyDescription* description = nullptr;
            ASSERT_EQ(lib->descriptionByName(W(u"System.Title").c_str(), kIidPropertyDescription,
                                             reinterpret_cast<void**>(&description)),
                      S_OK);
            result = description->GetDisplayName(&out);
            description->Release();
            break;
        }
        case Probe::Format: {
            PROPVARIANT value;
            std::memset(&value, 0, sizeof value);
            EXPECT_EQ(store->GetValue(kTitle, &value), S_OK);
            result = lib->formatForDisplayAlloc(kTitle, value, PDFF_DEFAULT, &out);
            lib->clear(&value);
            break;
        }
        case Probe::ByName: {
            void* description = &description;
            result = lib->descriptionByName(W(u"System.Title").c_str(), kIidPropertyDescription,
                                            &description);
            EXPECT_EQ(description, nullptr);
            break;
        }
        case Probe::Key: {
            PROPERTYKEY key = kTitle;
            result = lib->keyFromName(W(u"System.Title").c_str(), &key);
            EXPECT_EQ(key.pid, 0u);
            break;
        }
        }
        if (test.probe == Probe::Name || test.probe == Probe::DisplayName ||
            test.probe == Probe::Format) {
            text = out != nullptr ? Narrow(out) : "(null)";
            lib->taskFree(out);
        }
        EXPECT_EQ(result, test.result);
        EXPECT_EQ(text, test.text);
        if (store != nullptr) {
            store->Release();
        }
    }
}

constexpr const char* kRefusedCommands[] = {
    "",
    "frobnicate",
    "reset now",
    "item",
    "item \"unclosed",
    "item \"\"",
    "item \"x\" System.Title",
    "item \"x\" System.Nothing=lpwstr:a",
    "item \"x\" System.Title=ui4:abc",
    "item \"x\" System.Title=ui4:-1",
    "item \"x\" System.Title=text:a",
    "item \"x\" System.Title=empty:a",
    "item \"x\" {F29F85E0-4FF9-1068-AB91},2=empty",
    "name {F29F85E0-4FF9-1068-AB91-08002B27B3D9} Other",
    "fail",
    "fail Frob E_FAIL",
    "fail GetValue System.Title",
    "fail GetCount 3 E_FAIL",
    "fail GetAt two E_FAIL",
    "fail GetCount null",
    "fail PSGetNameFromPropertyKey E_FAIL in \"x\"",
    "fail GetValue System.Title E_FAIL extra",
    "unfail Frob",
    "show \"C:\\nowhere\\none.txt\"",
};

TEST_F(StandinTest, RefusesMalformedCommands) {
    for (const char* command : kRefusedCommands) {
        SCOPED_TRACE(command);
        std::string reply;
        EXPECT_FALSE(lib->Run(command, &reply));
        EXPECT_FALSE(reply.empty());
    }
}

TEST_F(StandinTest, UnfailRemovesFailures) {
    Command("item \"C:\\docs\\item.txt\"");
    Command("fail open E_FAIL");
    Command("fail GetCount E_FAIL");
    Open(kItem, GPS_DEFAULT, E_FAIL);
    Command("unfail open");
    IPropertyStore* store = Open(kItem, GPS_DEFAULT);
    ASSERT_NE(store, nullptr);
    DWORD count = 0;
    EXPECT_EQ(store->GetCount(&count), E_FAIL);
    Command("unfail");
    EXPECT_EQ(store->GetCount(&count), S_OK);
    store->Release();
}

} // namespace
} // namespace standin_test
