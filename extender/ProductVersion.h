// The extender's version number, read from the product version of its version resource.
#pragma once

#include "platform/platform.h"

namespace zekextender {

// The number before the first '.' of the ProductVersion string in the string table that the
// module's first translation entry names ("45001.0.0.1" gives 45001). False, with number 0,
// when the module has no such string or it does not begin with a complete decimal number.
// Never throws.
bool GetProductVersionNumber(HMODULE module, DWORD& number);

} // namespace zekextender
