// Display text of a property value, as PSFormatForDisplayAlloc renders it.
#pragma once

#include "platform/platform.h"

namespace standin {

// S_OK with the text; S_FALSE with an empty text for an empty value; E_INVALIDARG for a value
// that has no display text (a blob, an interface, a type the stand-in does not render).
// standin/README.md lists the renderings and the format flags honoured.
HRESULT FormatValue(const PROPERTYKEY& key, const PROPVARIANT& value, DWORD flags, WString& text);

} // namespace standin
