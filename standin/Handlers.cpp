#include "standin/Handlers.h"

#include "standin/Keys.h"
#include "standin/Schema.h"

#include <map>

namespace standin {
namespace {

using Table = std::map<WString, std::vector<WString>>;

// The file types whose Windows handlers write properties of this schema, each with the ones
// it writes. Assumed: the handlers' own lists are not published; these follow what the
// details of such files offer for editing.
Table BuiltIn() {
    const std::vector<WString> photo = {U16("System.Title"),   U16("System.Subject"),
                                        U16("System.Author"),  U16("System.Keywords"),
                                        U16("System.Comment"), U16("System.Rating")};
    const std::vector<WString> audio = {U16("System.Title"), U16("System.Comment"),
                                        U16("System.Rating")};
    const std::vector<WString> document = {
        U16("System.Title"),   U16("System.Subject"),  U16("System.Author"), U16("System.Keywords"),
        U16("System.Comment"), U16("System.Category"), U16("System.Company")};
    return {{U16(".jpg"), photo},
            {U16(".jpeg"), photo},
            {U16(".mp3"), audio},
            {U16(".docx"), document}};
}

Table& Handlers() {
    static Table table = BuiltIn();
    return table;
}

WCHAR Lower(WCHAR c) {
    return c >= 'A' && c <= 'Z' ? static_cast<WCHAR>(c - 'A' + 'a') : c;
}

} // namespace

WString ExtensionOf(const WString& path) {
    const std::size_t slash = path.find_last_of(U16("/\\"));
    const std::size_t start = slash == WString::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of(WCHAR('.'));
    if (dot == WString::npos || dot <= start) {
        return {};
    }
    WString extension = path.substr(dot);
    for (WCHAR& c : extension) {
        c = Lower(c);
    }
    return extension;
}

const std::vector<WString>* HandlerFor(const WString& extension) {
    auto found = Handlers().find(extension);
    return found == Handlers().end() ? nullptr : &found->second;
}

bool HandlerTakes(const std::vector<WString>& handler, const PROPERTYKEY& key) {
    for (const WString& name : handler) {
        const PropertyInfo* info = FindProperty(name);
        if (info != nullptr && SameKey(info->key, key)) {
            return true;
        }
    }
    return false;
}

void DeclareHandler(const WString& extension, std::vector<WString> names) {
    if (names.empty()) {
        Handlers().erase(extension);
    } else {
        Handlers()[extension] = std::move(names);
    }
}

void ForgetHandlers() {
    Handlers() = BuiltIn();
}

} // namespace standin
