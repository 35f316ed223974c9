// What the store of a real file holds, and committing to it.
#pragma once

#include "standin/Items.h"

namespace standin {

// With GPS_READWRITE or GPS_HANDLERPROPERTIESONLY: the properties of the file's handler that
// the file has values for. Otherwise also the file-system properties (name, extension, size,
// dates, attributes) first. Stored values whose name or type no longer fits the schema, or
// that the handler does not write, are skipped. `handler` (when given) receives the file's
// handler: null for folders and for types without one.
HRESULT ReadFileItem(const WString& path, DWORD flags, std::vector<Entry>& entries,
                     const std::vector<WString>** handler = nullptr);

// Every change must be to a property the file's handler writes.
HRESULT CommitFileItem(const WString& path, const std::vector<Entry>& changes);

} // namespace standin
