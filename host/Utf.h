// UTF-8 <-> UTF-16 for script text, paths and transcripts. Scripts and transcripts are UTF-8
// bytes; everything exchanged with the extender is UTF-16 (WCHAR).
#pragma once

#include "extender/HostInterface.h"

#include <string>

namespace zekhost {

// Decodes one code point at pos and advances pos. False on malformed, overlong or surrogate
// sequences; pos is then left unchanged.
bool DecodeUtf8(const std::string& text, std::size_t& pos, char32_t& codePoint);

// Appends a code point as one unit or a surrogate pair.
void AppendUtf16(WString& out, char32_t codePoint);

// False when text is not well-formed UTF-8.
bool Utf8ToUtf16(const std::string& text, WString& out);

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const WString& text);

} // namespace zekhost
