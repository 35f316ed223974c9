#include "standin/Schema.h"

#include "standin/Keys.h"

#include <deque>

namespace standin {
namespace {

constexpr GUID kStorage = {
    0xB725F130, 0x47EF, 0x101A, {0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC}};
constexpr GUID kSummary = {
    0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}};
constexpr GUID kDocSummary = {
    0xD5CDD502, 0x2E9C, 0x101B, {0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE}};
constexpr GUID kFileName = {
    0x41CF5AE0, 0xF75A, 0x4806, {0xBD, 0x87, 0x59, 0xC7, 0xD9, 0x24, 0x8E, 0xB9}};
constexpr GUID kFileExtension = {
    0xE4F10A3C, 0x49E6, 0x405D, {0x82, 0x88, 0xA2, 0x3B, 0xD4, 0xEE, 0xAA, 0x6C}};
constexpr GUID kMedia = {
    0x64440492, 0x4C8B, 0x11D1, {0x8B, 0x70, 0x08, 0x00, 0x36, 0xB1, 0x1A, 0x03}};

constexpr VARTYPE kStrings = VT_VECTOR | VT_LPWSTR;

const PropertyInfo kSchema[] = {
    {U16("System.ItemNameDisplay"), {kStorage, 10}, VT_LPWSTR, U16("Name"), false},
    {U16("System.FileName"), {kFileName, 100}, VT_LPWSTR, U16("Filename"), false},
    {U16("System.FileExtension"), {kFileExtension, 100}, VT_LPWSTR, U16("File extension"), false},
    {U16("System.Size"), {kStorage, 12}, VT_UI8, U16("Size"), false},
    {U16("System.DateModified"), {kStorage, 14}, VT_FILETIME, U16("Date modified"), false},
    {U16("System.DateCreated"), {kStorage, 15}, VT_FILETIME, U16("Date created"), false},
    {U16("System.DateAccessed"), {kStorage, 16}, VT_FILETIME, U16("Date accessed"), false},
    {U16("System.FileAttributes"), {kStorage, 13}, VT_UI4, U16("Attributes"), false},
    {U16("System.Title"), {kSummary, 2}, VT_LPWSTR, U16("Title"), true},
    {U16("System.Subject"), {kSummary, 3}, VT_LPWSTR, U16("Subject"), true},
    {U16("System.Author"), {kSummary, 4}, kStrings, U16("Authors"), true},
    {U16("System.Keywords"), {kSummary, 5}, kStrings, U16("Tags"), true},
    {U16("System.Comment"), {kSummary, 6}, VT_LPWSTR, U16("Comments"), true},
    {U16("System.Category"), {kDocSummary, 2}, kStrings, U16("Categories"), true},
    {U16("System.Company"), {kDocSummary, 15}, VT_LPWSTR, U16("Company"), true},
    {U16("System.Rating"), {kMedia, 9}, VT_UI4, U16("Rating"), true},
};

// Names that older releases of the property system used, resolved to the same keys; a key
// still answers its canonical name. These are the legacy names of PSGetPropertyDescriptionByName's
// table that map to properties of this schema (PSGetPropertyKeyFromName takes the same).
struct OlderName {
    const WCHAR* name;
    const WCHAR* canonical;
};

const OlderName kOlderNames[] = {
    {U16("Access"), U16("System.DateAccessed")},
    {U16("Attrib"), U16("System.FileAttributes")},
    {U16("Attributes"), U16("System.FileAttributes")},
    {U16("Company"), U16("System.Company")},
    {U16("Create"), U16("System.DateCreated")},
    {U16("DocAuthor"), U16("System.Author")},
    {U16("DocCategory"), U16("System.Category")},
    {U16("DocComments"), U16("System.Comment")},
    {U16("DocCompany"), U16("System.Company")},
    {U16("DocKeywords"), U16("System.Keywords")},
    {U16("DocSubject"), U16("System.Subject")},
    {U16("DocTitle"), U16("System.Title")},
    {U16("Name"), U16("System.ItemNameDisplay")},
    {U16("Rating"), U16("System.Rating")},
    {U16("Size"), U16("System.Size")},
    {U16("Write"), U16("System.DateModified")},
};

struct NamedKey {
    WString name;
    PropertyInfo info;
};

// A deque keeps the infos where they are while more names arrive.
std::deque<NamedKey>& NamedKeys() {
    static std::deque<NamedKey> keys;
    return keys;
}

} // namespace

const PROPERTYKEY kSizeKey = {kStorage, 12};
const PROPERTYKEY kRatingKey = {kMedia, 9};
const PROPERTYKEY kAttributesKey = {kStorage, 13};

const PropertyInfo* FindProperty(const WString& name) {
    for (const PropertyInfo& info : kSchema) {
        if (name == info.name) {
            return &info;
        }
    }
    for (const OlderName& older : kOlderNames) {
        if (name == older.name) {
            return FindProperty(WString(older.canonical));
        }
    }
    for (const NamedKey& named : NamedKeys()) {
        if (name == named.name) {
            return &named.info;
        }
    }
    return nullptr;
}

const PropertyInfo* FindProperty(const PROPERTYKEY& key) {
    for (const PropertyInfo& info : kSchema) {
        if (SameKey(key, info.key)) {
            return &info;
        }
    }
    for (const NamedKey& named : NamedKeys()) {
        if (SameKey(key, named.info.key)) {
            return &named.info;
        }
    }
    return nullptr;
}

bool NameKey(const PROPERTYKEY& key, const WString& name) {
    if (FindProperty(key) != nullptr) {
        return false;
    }
    const PropertyInfo* namesake = FindProperty(name);
    NamedKey& named = NamedKeys().emplace_back();
    named.name = name;
    if (namesake != nullptr) {
        named.info = *namesake;
        named.info.name = named.name.c_str();
        named.info.key = key;
    } else {
        named.info = {named.name.c_str(), key, VT_EMPTY, named.name.c_str(), true};
    }
    return true;
}

void ForgetKeyNames() {
    NamedKeys().clear();
}

} // namespace standin
