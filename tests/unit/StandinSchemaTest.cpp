// The stand-in's property names, keys and descriptions, through its exports.
#include "StandinLibrary.h"

#include <algorithm>
#include <iterator>
#include <utility>

#ifdef _WIN32
#include <initguid.h>
#include <propkey.h>
#endif

namespace standin_test {
namespace {

struct SchemaCase {
    const char16_t* name;
    PROPERTYKEY key;
    const char* displayName;
    VARTYPE type;
};

constexpr GUID kDocSummary = {
    0xD5CDD502, 0x2E9C, 0x101B, {0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE}};
constexpr GUID kFileName = {
    0x41CF5AE0, 0xF75A, 0x4806, {0xBD, 0x87, 0x59, 0xC7, 0xD9, 0x24, 0x8E, 0xB9}};
constexpr GUID kFileExtension = {
    0xE4F10A3C, 0x49E6, 0x405D, {0x82, 0x88, 0xA2, 0x3B, 0xD4, 0xEE, 0xAA, 0x6C}};
constexpr GUID kMedia = {
    0x64440492, 0x4C8B, 0x11D1, {0x8B, 0x70, 0x08, 0x00, 0x36, 0xB1, 0x1A, 0x03}};
constexpr VARTYPE kStrings = VT_VECTOR | VT_LPWSTR;

// The published keys (propkey.h).
constexpr SchemaCase kSchemaCases[] = {
    {u"System.ItemNameDisplay", {kStorage, 10}, "Name", VT_LPWSTR},
    {u"System.FileName", {kFileName, 100}, "Filename", VT_LPWSTR},
    {u"System.FileExtension", {kFileExtension, 100}, "File extension", VT_LPWSTR},
    {u"System.Size", {kStorage, 12}, "Size", VT_UI8},
    {u"System.DateModified", {kStorage, 14}, "Date modified", VT_FILETIME},
    {u"System.DateCreated", {kStorage, 15}, "Date created", VT_FILETIME},
    {u"System.DateAccessed", {kStorage, 16}, "Date accessed", VT_FILETIME},
    {u"System.FileAttributes", {kStorage, 13}, "Attributes", VT_UI4},
    {u"System.Title", {kSummary, 2}, "Title", VT_LPWSTR},
    {u"System.Subject", {kSummary, 3}, "Subject", VT_LPWSTR},
    {u"System.Author", {kSummary, 4}, "Authors", kStrings},
    {u"System.Keywords", {kSummary, 5}, "Tags", kStrings},
    {u"System.Comment", {kSummary, 6}, "Comments", VT_LPWSTR},
    {u"System.Category", {kDocSummary, 2}, "Categories", kStrings},
    {u"System.Company", {kDocSummary, 15}, "Company", VT_LPWSTR},
    {u"System.Rating", {kMedia, 9}, "Rating", VT_UI4},
};

TEST_F(StandinTest, SchemaNamesKeysAndDescriptionsAgree) {
    for (const SchemaCase& test : kSchemaCases) {
        const WString name = W(test.name);
        SCOPED_TRACE(Narrow(name));
        EXPECT_TRUE(SameKey(KeyOf(name), test.key));

        PWSTR canonical = nullptr;
        EXPECT_EQ(lib->nameFromKey(test.key, &canonical), S_OK);
        EXPECT_EQ(canonical != nullptr ? WString(canonical) : WString(), name);
        lib->taskFree(canonical);

        IPropertyDescription* description = nullptr;
        ASSERT_EQ(lib->descriptionByName(name.c_str(), kIidPropertyDescription,
                                         reinterpret_cast<void**>(&description)),
                  S_OK);
        PWSTR display = nullptr;
        EXPECT_EQ(description->GetDisplayName(&display), S_OK);
        EXPECT_EQ(Narrow(display != nullptr ? display : W(u"")), test.displayName);
        lib->taskFree(display);
        VARTYPE type = VT_EMPTY;
        EXPECT_EQ(description->GetPropertyType(&type), S_OK);
        EXPECT_EQ(type, test.type);
        description->Release();

        ASSERT_EQ(lib->description(test.key, kIidPropertyDescription,
                                   reinterpret_cast<void**>(&description)),
                  S_OK);
        PROPERTYKEY described{};
        EXPECT_EQ(description->GetPropertyKey(&described), S_OK);
        EXPECT_TRUE(SameKey(described, test.key));
        description->Release();
    }
}

constexpr const char16_t* kUnknownNames[] = {
    u"", u"System.title", u" System.Title", u"System.Title ", u"System.Nothing", u"Title",
};

TEST_F(StandinTest, UnknownNamesAreNotFound) {
    for (const char16_t* text : kUnknownNames) {
        const WString name = W(text);
        SCOPED_TRACE(Narrow(name));
        PROPERTYKEY key = kTitle;
        EXPECT_EQ(lib->keyFromName(name.c_str(), &key), TYPE_E_ELEMENTNOTFOUND);
        EXPECT_TRUE(SameKey(key, PROPERTYKEY{})); // zeroed, not left as it was
        void* description = &key;
        EXPECT_EQ(lib->descriptionByName(name.c_str(), kIidPropertyDescription, &description),
                  TYPE_E_ELEMENTNOTFOUND);
        EXPECT_EQ(description, nullptr);
    }
}

constexpr PROPERTYKEY kUnknownKeys[] = {
    {kSummary, 0}, {kSummary, 1}, {kSummary, 999}, {kIidPropertyStore, 2}, {},
};

TEST_F(StandinTest, UnknownKeysHaveNoName) {
    for (const PROPERTYKEY& key : kUnknownKeys) {
        SCOPED_TRACE(key.pid);
        PWSTR name = reinterpret_cast<PWSTR>(&name);
        EXPECT_EQ(lib->nameFromKey(key, &name), TYPE_E_ELEMENTNOTFOUND);
        EXPECT_EQ(name, nullptr);
        void* description = &name;
        EXPECT_EQ(lib->description(key, kIidPropertyDescription, &description),
                  TYPE_E_ELEMENTNOTFOUND);
        EXPECT_EQ(description, nullptr);
    }
}

#ifdef _WIN32
// The keys above against the SDK's own definitions, a source independent of the stand-in
// (the SDK here lacks System.ItemNameDisplay, System.Size and System.Subject).
TEST(StandinSchemaKeys, AreThePublishedOnes) {
    const std::pair<const char16_t*, const PROPERTYKEY*> published[] = {
        {u"System.FileName", &PKEY_FileName},
        {u"System.FileExtension", &PKEY_FileExtension},
        {u"System.DateModified", &PKEY_DateModified},
        {u"System.DateCreated", &PKEY_DateCreated},
        {u"System.DateAccessed", &PKEY_DateAccessed},
        {u"System.FileAttributes", &PKEY_FileAttributes},
        {u"System.Title", &PKEY_Title},
        {u"System.Comment", &PKEY_Comment},
        {u"System.Keywords", &PKEY_Keywords},
        {u"System.Author", &PKEY_Author},
        {u"System.Category", &PKEY_Category},
        {u"System.Company", &PKEY_Company},
        {u"System.Rating", &PKEY_Rating},
    };
    for (const auto& [name, key] : published) {
        SCOPED_TRACE(Narrow(W(name)));
        const auto row = std::find_if(std::begin(kSchemaCases), std::end(kSchemaCases),
                                      [&](const SchemaCase& c) { return W(c.name) == W(name); });
        ASSERT_NE(row, std::end(kSchemaCases));
        EXPECT_TRUE(SameKey(row->key, *key));
    }
}
#endif

} // namespace
} // namespace standin_test
