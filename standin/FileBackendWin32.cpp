// Files on Windows: facts from the file system; written values kept in process memory, keyed
// by the full path in lower case, for the life of the process (the file itself is untouched).
#include "standin/FileBackend.h"

#include <map>

namespace standin {
namespace {

std::map<WString, StoredValues>& Kept() {
    static std::map<WString, StoredValues> values;
    return values;
}

bool IsAbsolute(const WString& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool unc = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    return drive || unc;
}

std::uint64_t Ticks(const FILETIME& time) {
    return (std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

WString Normalised(const WString& path) {
    WCHAR buffer[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 4, buffer, nullptr);
    WString full = length > 0 && length < MAX_PATH * 4 ? WString(buffer, length) : path;
    if (!full.empty()) {
        CharLowerBuffW(&full[0], static_cast<DWORD>(full.size()));
    }
    return full;
}

HRESULT LastError() {
    const DWORD error = GetLastError();
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}

} // namespace

HRESULT ReadFileFacts(const WString& path, FileFacts& facts) {
    if (!IsAbsolute(path)) {
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return LastError();
    }
    WString name = path;
    while (name.size() > 3 && (name.back() == L'\\' || name.back() == L'/')) {
        name.pop_back();
    }
    facts.name = name.substr(name.find_last_of(L"\\/") + 1);
    facts.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.size =
        facts.directory ? 0 : (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    facts.created = Ticks(data.ftCreationTime);
    facts.modified = Ticks(data.ftLastWriteTime);
    facts.accessed = Ticks(data.ftLastAccessTime);
    facts.attributes = data.dwFileAttributes;
    return S_OK;
}

HRESULT CheckReadable(const WString& path) {
    // Shared every way: the check itself must not stand in another opener's way.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    CloseHandle(file);
    return S_OK;
}

WString FileIdentity(const WString& path) {
    return Normalised(path);
}

HRESULT ReadStoredValues(const WString& path, StoredValues& values) {
    auto found = Kept().find(Normalised(path));
    values = found == Kept().end() ? StoredValues() : found->second;
    return S_OK;
}

HRESULT WriteStoredValues(const WString& path, const StoredValues& changes) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return LastError();
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        return E_ACCESSDENIED; // as a property handler could not write the file
    }
    StoredValues& kept = Kept()[Normalised(path)];
    for (const auto& [name, value] : changes) {
        auto it = kept.begin();
        while (it != kept.end() && it->first != name) {
            ++it;
        }
        if (it != kept.end()) {
            kept.erase(it);
        }
        if (!value.IsEmpty()) {
            kept.emplace_back(name, value);
        }
    }
    return S_OK;
}

void ForgetStoredValues() {
    Kept().clear();
}

} // namespace standin
