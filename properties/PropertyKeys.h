// Canonical property names, property keys and display names, through the property system.
#pragma once

#include "platform/platform.h"
#include "status/StatusCode.h"

namespace zekextender {

// The key registered for a canonical name (passed as given: no trimming, no case change).
// The key is all zero on failure. 95 when the property system is not bound.
StatusCode PropertyKeyFromName(const WString& name, PROPERTYKEY& key);
StatusCode PropertyKeyFromName(const WCHAR* name, PROPERTYKEY& key);

// The canonical name of a key, or an empty name (and 0) for keys that have none: property
// identifiers 0 and 1 (never asked) and keys the property system does not know.
StatusCode PropertyNameFromKey(const PROPERTYKEY& key, WString& name);

// The display name of a property. 9 for an empty name (checked first), 95 when unbound. A
// description that yields no display name gives an empty one, successfully.
StatusCode PropertyDisplayName(const WString& name, WString& displayName);

} // namespace zekextender
