// The property store of an item: SHGetPropertyStoreFromParsingName and the IPropertyStore
// it hands out.
#pragma once

#include "platform/platform.h"

namespace standin {

// Declared items first (exact parsing name), then real files. standin/README.md describes
// what a store holds and how it writes.
HRESULT OpenStore(PCWSTR parsingName, DWORD flags, REFIID riid, void** object);

// Whether the calling thread has initialised COM (and not uninitialised it since).
bool ComInitialisedOnThisThread();

} // namespace standin
