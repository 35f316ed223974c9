// Real files: their file-system facts, and where the values of writable properties are kept.
// One implementation per platform: extended attributes off Windows, process memory on Windows.
#pragma once

#include "standin/Value.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace standin {

struct FileFacts {
    WString name; // last component of the path
    bool directory = false;
    std::uint64_t size = 0;
    std::uint64_t created = 0; // FILETIME ticks
    std::uint64_t modified = 0;
    std::uint64_t accessed = 0;
    DWORD attributes = 0; // FILE_ATTRIBUTE_* bits
};

// Values by canonical name.
using StoredValues = std::vector<std::pair<WString, Value>>;

// HRESULT_FROM_WIN32 of the failure: 0x80070002 for a missing file, 0x80070003 for a missing
// folder on the way, 0x80070005 without permission. A path that is not absolute is not found.
HRESULT ReadFileFacts(const WString& path, FileFacts& facts);

// S_OK when the file opens for reading, as a property handler's stream opens it; otherwise the
// file system's refusal as an HRESULT (E_ACCESSDENIED when its user may not read it).
HRESULT CheckReadable(const WString& path);

// What names one file for holding it: the full path in lower case on Windows, the path as
// given elsewhere.
WString FileIdentity(const WString& path);

// Every stored value of the file, in no particular order; unreadable ones are skipped.
HRESULT ReadStoredValues(const WString& path, StoredValues& values);

// Writes the changes (an empty value removes one) all or nothing: when one cannot be written,
// those already written are put back as they were and the failure is returned.
HRESULT WriteStoredValues(const WString& path, const StoredValues& changes);

// Drops values kept in process memory (Windows); nothing to do where the file keeps them.
void ForgetStoredValues();

} // namespace standin
