// What the store of a real file holds, and committing to it.
#pragma once

#include "standin/Items.h"

namespace standin {

// With GPS_READWRITE or GPS_HANDLERPROPERTIESONLY: the writable properties the file has
// values for. Otherwise also the file-system properties (name, extension, size, dates,
// attributes) first. Stored values whose name or type no longer fits the schema are skipped.
HRESULT ReadFileItem(const WString& path, DWORD flags, std::vector<Entry>& entries);

// Every change must be to a writable property.
HRESULT CommitFileItem(const WString& path, const std::vector<Entry>& changes);

} // namespace standin
