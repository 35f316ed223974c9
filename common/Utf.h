// UTF-8 and UTF-16 for the test tooling (the reference host and the stand-in property system):
// their scripts, commands and files are UTF-8, and everything they exchange with the extender
// is UTF-16.
#pragma once

#include "platform/platform.h"

#include <string>
#include <string_view>

namespace zekutf {

// Decodes one code point at pos and advances pos. False on malformed, overlong or surrogate
// sequences; pos is then left unchanged.
bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint);

// Appends a code point as one unit or a surrogate pair.
void AppendUtf16(WString& out, char32_t codePoint);

// False when text is not well-formed UTF-8.
bool Utf8ToUtf16(std::string_view text, WString& out);

// Each malformed byte becomes U+FFFD.
WString Utf8ToUtf16Replacing(std::string_view text);

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const WString& text);

} // namespace zekutf
