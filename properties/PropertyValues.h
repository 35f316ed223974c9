// Rendering a property value as display text.
#pragma once

#include "platform/platform.h"
#include "properties/binding/OwnedResources.h"
#include "status/StatusCode.h"

namespace zekextender {

// Only the fourteen defined PROPDESC_FORMAT_FLAGS reach the property system.
constexpr DWORD FormatFlagsMask = 0x3FFF;

// The property system's display text of a value, handed on as the property system allocated
// it (null: empty text). 218 when it cannot render the value (E_INVALIDARG), 95 when unbound.
StatusCode FormatValueForDisplay(const PROPERTYKEY& key, const PROPVARIANT& value,
                                 DWORD formatFlags, TaskText& text);

} // namespace zekextender
