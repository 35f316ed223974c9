#include "common/Utf.h"

namespace zekutf {

bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint) {
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(pos);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        ++pos;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return false;
    }
    if (text.size() - pos < length) {
        return false;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byteAt(pos + i);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
    }
    codePoint = value;
    pos += length;
    return true;
}

void AppendUtf16(WString& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out.push_back(static_cast<WCHAR>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    out.push_back(static_cast<WCHAR>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<WCHAR>(0xDC00 + (codePoint & 0x3FF)));
}

bool Utf8ToUtf16(std::string_view text, WString& out) {
    out.clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t codePoint = 0;
        if (!DecodeUtf8(text, pos, codePoint)) {
            return false;
        }
        AppendUtf16(out, codePoint);
    }
    return true;
}

WString Utf8ToUtf16Replacing(std::string_view text) {
    WString out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t codePoint = 0;
        if (DecodeUtf8(text, pos, codePoint)) {
            AppendUtf16(out, codePoint);
        } else {
            out.push_back(0xFFFD);
            ++pos;
        }
    }
    return out;
}

std::string Utf16ToUtf8(const WString& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = static_cast<char16_t>(text[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
            static_cast<char16_t>(text[i + 1]) >= 0xDC00 &&
            static_cast<char16_t>(text[i + 1]) <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (static_cast<char16_t>(text[++i]) - 0xDC00);
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;
        }
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
        } else if (unit < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else if (unit < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
            out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (unit >> 18)));
            out.push_back(static_cast<char>(0x80 | ((unit >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        }
    }
    return out;
}

} // namespace zekutf
