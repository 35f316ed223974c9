// How values appear in a transcript: one line of printable ASCII per value, identical on
// every platform.
//
//   int 42 | wide "text" | narrow "text" | float 1.5 | block <48 hex digits> | empty
//   array[2] {wide "a", wide "b"} | type 0x400
//
// Strings escape \ and " with a backslash and every code unit outside 0x20..0x7E as \uXXXX
// (wide) or \xHH (narrow).
#pragma once

#include "host/HostStorage.h"
#include "host/OwnedValue.h"

#include <cstdint>
#include <string>

namespace zekhost {

std::string EscapeWide(const WString& text);
std::string EscapeNarrow(const std::string& text);

// "0x" and lower-case digits, no padding.
std::string Hex(std::uint64_t value);

// %.17g, with inf, -inf and nan spelled the same on every platform.
std::string FormatFloat(double value);

// Arrays are printed from the host's storage, element by element.
std::string FormatValue(const OwnedValue& value, const HostStorage& storage);

} // namespace zekhost
