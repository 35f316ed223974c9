#include "extender/ProductVersion.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace zekextender {

namespace {

constexpr DWORD ModulePathCapacity = 32000;

// The C locale's white space, as wcstoul skips it.
bool IsSpace(WCHAR c) {
    return c == U16(' ') || (c >= U16('\t') && c <= U16('\r'));
}

// wcstoul in base 10 with a 32-bit unsigned long, as on Windows, asked to consume the whole
// text: optional white space, an optional sign, at least one digit and nothing after the
// digits. A value above 0xFFFFFFFF is a range error; '-' negates modulo 2^32.
bool ParseWholeNumber(const WString& text, DWORD& value) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == U16('+') || text[i] == U16('-'))) {
        negative = text[i] == U16('-');
        ++i;
    }
    const std::size_t digits = i;
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= U16('0') && text[i] <= U16('9'); ++i) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - U16('0'));
        if (magnitude > UINT32_MAX) {
            return false;
        }
    }
    if (i == digits || i != text.size()) {
        return false;
    }
    value = static_cast<DWORD>(negative ? 0 - magnitude : magnitude);
    return true;
}

void AppendHex4(WString& out, DWORD value) {
    static constexpr char Digits[] = "0123456789abcdef";
    for (int shift = 12; shift >= 0; shift -= 4) {
        out += static_cast<WCHAR>(Digits[(value >> shift) & 0xF]);
    }
}

bool ReadProductVersionNumber(HMODULE module, DWORD& number) {
    // One unit more than the capacity passed: a truncated name may come back without its
    // terminator (Windows XP, Wine), and the path must still end.
    std::vector<WCHAR> path(ModulePathCapacity + 1, 0);
    if (GetModuleFileNameW(module, path.data(), ModulePathCapacity) == 0) {
        return false;
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.data(), &handle);
    if (size == 0) {
        return false;
    }
    std::vector<BYTE> block(size, 0);
    if (!GetFileVersionInfoW(path.data(), 0, size, block.data())) {
        return false;
    }

    LPVOID value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), U16("\\VarFileInfo\\Translation"), &value, &length) != 1 ||
        length < 4) {
        return false;
    }
    DWORD translation = 0;
    std::memcpy(&translation, value, sizeof translation);
    WString name = U16("\\StringFileInfo\\");
    AppendHex4(name, translation & 0xFFFF);
    AppendHex4(name, translation >> 16);
    name += U16("\\ProductVersion");

    value = nullptr;
    length = 0;
    if (!VerQueryValueW(block.data(), name.c_str(), &value, &length) || value == nullptr) {
        return false;
    }
    // The length counts characters and may include the terminator; stop at whichever
    // comes first, so a text stored without its terminator is not read past its end.
    const auto* text = static_cast<const WCHAR*>(value);
    WString version;
    for (UINT i = 0; i < length && text[i] != 0 && text[i] != U16('.'); ++i) {
        version += text[i];
    }
    return ParseWholeNumber(version, number);
}

} // namespace

bool GetProductVersionNumber(HMODULE module, DWORD& number) {
    number = 0;
    try {
        DWORD found = 0;
        if (!ReadProductVersionNumber(module, found)) {
            return false;
        }
        number = found;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace zekextender
