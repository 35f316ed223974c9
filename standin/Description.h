// IPropertyDescription objects, for PSGetPropertyDescription and
// PSGetPropertyDescriptionByName.
#pragma once

#include "standin/Schema.h"

namespace standin {

// E_NOINTERFACE unless riid is IPropertyDescription (or IUnknown).
HRESULT NewDescription(const PropertyInfo& info, REFIID riid, void** object);

} // namespace standin
