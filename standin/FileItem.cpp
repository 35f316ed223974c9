#include "standin/FileItem.h"

#include "standin/FileBackend.h"
#include "standin/Handlers.h"
#include "standin/Schema.h"

#include <algorithm>

namespace standin {
namespace {

void AddIntrinsic(std::vector<Entry>& entries, const WCHAR* name, Value value) {
    const PropertyInfo* info = FindProperty(WString(name));
    if (info != nullptr) {
        entries.push_back({info->key, std::move(value)});
    }
}

Value Text(const WString& text) {
    Value value;
    value.type = VT_LPWSTR;
    value.text = text;
    return value;
}

Value Unsigned(VARTYPE type, std::uint64_t number) {
    Value value;
    value.type = type;
    value.unsigned_ = number;
    return value;
}

void AddFacts(std::vector<Entry>& entries, const FileFacts& facts) {
    AddIntrinsic(entries, U16("System.ItemNameDisplay"), Text(facts.name));
    AddIntrinsic(entries, U16("System.FileName"), Text(facts.name));
    const std::size_t dot = facts.name.find_last_of(WCHAR('.'));
    if (!facts.directory && dot != WString::npos && dot != 0) {
        AddIntrinsic(entries, U16("System.FileExtension"), Text(facts.name.substr(dot)));
    }
    if (!facts.directory) {
        AddIntrinsic(entries, U16("System.Size"), Unsigned(VT_UI8, facts.size));
    }
    AddIntrinsic(entries, U16("System.DateModified"), Unsigned(VT_FILETIME, facts.modified));
    AddIntrinsic(entries, U16("System.DateCreated"), Unsigned(VT_FILETIME, facts.created));
    AddIntrinsic(entries, U16("System.DateAccessed"), Unsigned(VT_FILETIME, facts.accessed));
    AddIntrinsic(entries, U16("System.FileAttributes"), Unsigned(VT_UI4, facts.attributes));
}

} // namespace

HRESULT ReadFileItem(const WString& path, DWORD flags, std::vector<Entry>& entries,
                     const std::vector<WString>** handler) {
    entries.clear();
    if (handler != nullptr) {
        *handler = nullptr;
    }
    FileFacts facts;
    HRESULT result = ReadFileFacts(path, facts);
    if (FAILED(result)) {
        return result;
    }
    const std::vector<WString>* own = facts.directory ? nullptr : HandlerFor(ExtensionOf(path));
    if (handler != nullptr) {
        *handler = own;
    }
    StoredValues stored;
    result = ReadStoredValues(path, stored);
    if (FAILED(result)) {
        return result;
    }
    if (!(flags & (GPS_READWRITE | GPS_HANDLERPROPERTIESONLY))) {
        AddFacts(entries, facts);
    }
    // By name, so that every platform and file system lists them alike.
    std::sort(stored.begin(), stored.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [name, value] : stored) {
        const PropertyInfo* info = FindProperty(name);
        if (info != nullptr && info->writable && !value.IsEmpty() &&
            (info->type == VT_EMPTY || info->type == value.type) && own != nullptr &&
            HandlerTakes(*own, info->key)) {
            entries.push_back({info->key, std::move(value)});
        }
    }
    return S_OK;
}

HRESULT CommitFileItem(const WString& path, const std::vector<Entry>& changes) {
    const std::vector<WString>* handler = HandlerFor(ExtensionOf(path));
    StoredValues stored;
    for (const Entry& change : changes) {
        const PropertyInfo* info = FindProperty(change.key);
        if (info == nullptr || !info->writable || handler == nullptr ||
            !HandlerTakes(*handler, change.key)) {
            return STG_E_ACCESSDENIED;
        }
        stored.emplace_back(info->name, change.value);
    }
    return stored.empty() ? S_OK : WriteStoredValues(path, stored);
}

} // namespace standin
