// UTF-8 and UTF-16 conversions shared by the stand-in's functions.
#pragma once

#include "platform/posix/win32.h"

#include <string>

namespace zekplatform {

// Appends the UTF-8 form of one code point.
void AppendUtf8(char32_t codePoint, std::string& out);

// File names are bytes here. Bytes that are not UTF-8 travel through UTF-16 as the lone
// surrogates U+DC80..U+DCFF, so every name the system gives comes back to the same file.
std::u16string PathToUtf16(const char* path);
std::string PathFromUtf16(LPCWSTR path);

} // namespace zekplatform
