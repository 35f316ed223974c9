// UTF-8 <-> UTF-16 for the control commands, extended attributes and file names.
#pragma once

#include "platform/platform.h"

#include <string>
#include <string_view>

namespace standin {

// Malformed bytes become U+FFFD.
WString Utf8ToUtf16(std::string_view text);

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const WString& text);

// A possibly null, NUL-terminated text.
WString FromRaw(const WCHAR* text);

// ASCII-only, for the English names this library knows.
WString AsciiToUtf16(std::string_view text);

} // namespace standin
