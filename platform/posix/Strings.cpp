// UTF-16 strings with the meaning Windows gives them.
#include "platform/posix/Text.h"
#include "platform/posix/win32.h"

#include <cstdint>
#include <string>

namespace {

constexpr UINT CodePageLatin1 = 28591;
constexpr char32_t ReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

WCHAR LowerLatin1(WCHAR c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<WCHAR>(c + 0x20);
    }
    return c;
}

// Reads the code point at `i` and advances past it; an unpaired surrogate comes back alone.
char32_t NextCodePoint(const WCHAR* text, std::size_t length, std::size_t& i) {
    char32_t unit = text[i++];
    if (IsHighSurrogate(unit) && i < length && IsLowSurrogate(text[i])) {
        char32_t low = text[i++];
        return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    return unit;
}

std::size_t EncodeUtf8(char32_t codePoint, char* out) {
    if (codePoint < 0x80) {
        out[0] = static_cast<char>(codePoint);
        return 1;
    }
    if (codePoint < 0x800) {
        out[0] = static_cast<char>(0xC0 | (codePoint >> 6));
        out[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (codePoint >> 12));
        out[1] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (codePoint >> 18));
    out[1] = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (codePoint & 0x3F));
    return 4;
}

// Output of WideCharToMultiByte: counts every byte, stores those that fit. Nothing is
// allocated, so the conversion cannot fail for want of memory.
class ByteSink {
public:
    ByteSink(LPSTR buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {}
    void Put(const char* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i, ++size_) {
            if (size_ < capacity_) {
                buffer_[size_] = bytes[i];
            }
        }
    }
    std::size_t Size() const { return size_; }

private:
    LPSTR buffer_;
    std::size_t capacity_;
    std::size_t size_ = 0;
};

bool InvalidArguments(LPCWSTR wide, int wideLength, LPSTR narrow, int narrowSize) {
    return wide == nullptr || wideLength == 0 || wideLength < -1 || narrowSize < 0 ||
           (narrowSize > 0 && narrow == nullptr);
}

} // namespace

namespace zekplatform {

void AppendUtf8(char32_t codePoint, std::string& out) {
    char bytes[4];
    out.append(bytes, EncodeUtf8(codePoint, bytes));
}

std::u16string PathToUtf16(const char* path) {
    std::u16string out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(path);
    std::size_t i = 0;
    while (bytes[i] != 0) {
        unsigned char lead = bytes[i];
        std::size_t extra = lead < 0x80                    ? 0
                            : lead >= 0xC2 && lead <= 0xDF ? 1
                            : (lead & 0xF0) == 0xE0        ? 2
                            : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                           : 4;
        char32_t codePoint = extra == 0 ? lead : lead & (0x3F >> extra);
        bool valid = extra < 4;
        for (std::size_t k = 1; valid && k <= extra; ++k) {
            unsigned char next = bytes[i + k];
            valid = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        static constexpr char32_t Smallest[] = {0, 0x80, 0x800, 0x10000};
        valid = valid && codePoint >= Smallest[extra] && codePoint <= 0x10FFFF &&
                !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
        if (!valid) {
            out += static_cast<char16_t>(0xDC00 + lead);
            ++i;
            continue;
        }
        if (codePoint >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(codePoint);
        }
        i += extra + 1;
    }
    return out;
}

std::string PathFromUtf16(LPCWSTR path) {
    std::string out;
    std::size_t length = static_cast<std::size_t>(lstrlenW(path));
    for (std::size_t i = 0; i < length;) {
        char32_t codePoint = NextCodePoint(path, length, i);
        if (codePoint >= 0xDC80 && codePoint <= 0xDCFF) {
            out += static_cast<char>(codePoint - 0xDC00);
        } else {
            AppendUtf8(IsHighSurrogate(codePoint) || IsLowSurrogate(codePoint)
                           ? ReplacementCharacter
                           : codePoint,
                       out);
        }
    }
    return out;
}

} // namespace zekplatform

LPWSTR lstrcpyW(LPWSTR lpString1, LPCWSTR lpString2) {
    if (lpString1 == nullptr || lpString2 == nullptr) {
        return nullptr;
    }
    LPWSTR out = lpString1;
    while ((*out++ = *lpString2++) != 0) {
    }
    return lpString1;
}

LPWSTR lstrcpynW(LPWSTR lpString1, LPCWSTR lpString2, int iMaxLength) {
    if (lpString1 == nullptr || lpString2 == nullptr) {
        return nullptr;
    }
    // Windows counts in an unsigned number: a negative length does not limit the copy.
    auto room = static_cast<UINT>(iMaxLength);
    LPWSTR out = lpString1;
    while (room > 1 && *lpString2 != 0) {
        *out++ = *lpString2++;
        --room;
    }
    if (room != 0) {
        *out = 0;
    }
    return lpString1;
}

int lstrlenW(LPCWSTR lpString) {
    if (lpString == nullptr) {
        return 0;
    }
    int length = 0;
    while (lpString[length] != 0) {
        ++length;
    }
    return length;
}

LPWSTR CharLowerW(LPWSTR lpsz) {
    auto value = reinterpret_cast<std::uintptr_t>(lpsz);
    if (value <= 0xFFFF) {
        return reinterpret_cast<LPWSTR>(
            static_cast<std::uintptr_t>(LowerLatin1(static_cast<WCHAR>(value))));
    }
    for (LPWSTR c = lpsz; *c != 0; ++c) {
        *c = LowerLatin1(*c);
    }
    return lpsz;
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar) {
    if (InvalidArguments(lpWideCharStr, cchWideChar, lpMultiByteStr, cbMultiByte)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t length = cchWideChar == -1 ? static_cast<std::size_t>(lstrlenW(lpWideCharStr)) + 1
                                           : static_cast<std::size_t>(cchWideChar);
    ByteSink out(lpMultiByteStr, static_cast<std::size_t>(cbMultiByte));
    if (CodePage == CodePageLatin1) {
        char defaultChar = lpDefaultChar != nullptr ? *lpDefaultChar : '?';
        bool usedDefault = false;
        for (std::size_t i = 0; i < length; ++i) {
            WCHAR unit = lpWideCharStr[i];
            char byte = static_cast<char>(unit);
            if (unit > 0xFF) {
                byte = defaultChar;
                usedDefault = true;
            }
            out.Put(&byte, 1);
        }
        if (lpUsedDefaultChar != nullptr) {
            *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
        }
    } else if (CodePage == CP_UTF8) {
        // UTF-8 has no default character, and only one flag means anything for it.
        if ((dwFlags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0) {
            SetLastError(ERROR_INVALID_FLAGS);
            return 0;
        }
        if (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        for (std::size_t i = 0; i < length;) {
            char32_t codePoint = NextCodePoint(lpWideCharStr, length, i);
            if (IsHighSurrogate(codePoint) || IsLowSurrogate(codePoint)) {
                if ((dwFlags & WC_ERR_INVALID_CHARS) != 0) {
                    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
                    return 0;
                }
                codePoint = ReplacementCharacter;
            }
            char bytes[4];
            out.Put(bytes, EncodeUtf8(codePoint, bytes));
        }
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (out.Size() > static_cast<std::size_t>(INT32_MAX)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (cbMultiByte == 0) {
        return static_cast<int>(out.Size());
    }
    if (out.Size() > static_cast<std::size_t>(cbMultiByte)) {
        // Like Windows, what fits has been stored before the shortage is reported.
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return static_cast<int>(out.Size());
}
