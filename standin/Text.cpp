#include "standin/Text.h"

#include "common/Utf.h"

namespace standin {

WString Utf8ToUtf16(std::string_view text) {
    return zekutf::Utf8ToUtf16Replacing(text);
}

std::string Utf16ToUtf8(const WString& text) {
    return zekutf::Utf16ToUtf8(text);
}

WString FromRaw(const WCHAR* text) {
    return text == nullptr ? WString() : WString(text);
}

WString AsciiToUtf16(std::string_view text) {
    return WString(text.begin(), text.end());
}

} // namespace standin
