// Hexadecimal digits as the test tooling reads them: script escapes and numbers, property keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zekcommon {

// 0 to 15 for 0-9, a-f and A-F; -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Exactly `digits` hex digits at text[pos], the first the most significant (more than 16
// overflow the value). False when the text ends before them or one is not a hex digit.
constexpr bool ReadHexDigits(std::string_view text, std::size_t pos, std::size_t digits,
                             std::uint64_t& value) {
    if (pos > text.size() || digits > text.size() - pos) {
        return false;
    }
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int digit = HexDigitValue(text[pos + i]);
        if (digit < 0) {
            return false;
        }
        value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    return true;
}

} // namespace zekcommon
