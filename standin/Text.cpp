#include "standin/Text.h"

namespace standin {
namespace {

void Append(WString& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out.push_back(static_cast<WCHAR>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    out.push_back(static_cast<WCHAR>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<WCHAR>(0xDC00 + (codePoint & 0x3FF)));
}

} // namespace

WString Utf8ToUtf16(std::string_view text) {
    WString out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[pos]);
        std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                             : lead >= 0xE0                ? 3
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                                                           : 0;
        char32_t codePoint = length == 1   ? lead
                             : length == 2 ? lead & 0x1F
                             : length == 3 ? lead & 0x0F
                                           : lead & 0x07;
        bool valid = length != 0 && pos + length <= text.size();
        for (std::size_t i = 1; valid && i < length; ++i) {
            const unsigned char next = static_cast<unsigned char>(text[pos + i]);
            valid = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        valid = valid && !(length == 3 && codePoint < 0x800) &&
                !(length == 4 && (codePoint < 0x10000 || codePoint > 0x10FFFF)) &&
                !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
        if (!valid) {
            out.push_back(0xFFFD);
            ++pos;
            continue;
        }
        Append(out, codePoint);
        pos += length;
    }
    return out;
}

std::string Utf16ToUtf8(const WString& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t codePoint = static_cast<char16_t>(text[i]);
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < text.size() &&
            static_cast<char16_t>(text[i + 1]) >= 0xDC00 &&
            static_cast<char16_t>(text[i + 1]) <= 0xDFFF) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) +
                        (static_cast<char16_t>(text[i + 1]) - 0xDC00);
            ++i;
        } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            codePoint = 0xFFFD;
        }
        if (codePoint < 0x80) {
            out.push_back(static_cast<char>(codePoint));
        } else if (codePoint < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else if (codePoint < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        }
    }
    return out;
}

WString FromRaw(const WCHAR* text) {
    return text == nullptr ? WString() : WString(text);
}

WString AsciiToUtf16(std::string_view text) {
    return WString(text.begin(), text.end());
}

} // namespace standin
