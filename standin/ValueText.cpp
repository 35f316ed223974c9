#include "standin/ValueText.h"

#include "standin/Dates.h"
#include "standin/Keys.h"
#include "standin/Schema.h"
#include "standin/Text.h"

#include <charconv>
#include <cstring>
#include <cstdio>

namespace standin {
namespace {

constexpr VARTYPE kStrings = VT_VECTOR | VT_LPWSTR;

struct TypeName {
    const char* name;
    VARTYPE type;
};

constexpr TypeName kTypeNames[] = {
    {"empty", VT_EMPTY}, {"lpwstr", VT_LPWSTR}, {"strings", kStrings},
    {"i4", VT_I4},       {"ui4", VT_UI4},       {"i8", VT_I8},
    {"ui8", VT_UI8},     {"bool", VT_BOOL},     {"filetime", VT_FILETIME},
    {"double", VT_R8},   {"blob", VT_BLOB},     {"unknown", VT_UNKNOWN},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Ticks of 1601-01-02 00:00 UTC: dates before it are no date.
constexpr std::uint64_t kOneDayOfTicks = 864000000000ull;
// System.Rating's first range, one star, starts at 1.
constexpr std::uint64_t kRatingMin = 1;

bool IsBlankUnit(WCHAR c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

WString TrimBlanks(const WString& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlankUnit(text[first])) {
        ++first;
    }
    while (last > first && IsBlankUnit(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Decimal digits with an optional leading '-', nothing else.
bool ParseSigned(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& out) {
    if (text.empty() || text.front() == '+') {
        return false;
    }
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}

bool ParseUnsigned(std::string_view text, std::uint64_t high, std::uint64_t& out) {
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return false;
    }
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > high) {
        return false;
    }
    out = value;
    return true;
}

bool ParseDouble(std::string_view text, double& out) {
    if (text.empty()) {
        return false;
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseBool(std::string_view text, std::int64_t& out) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (lower == "true" || lower == "yes" || lower == "1") {
        out = 1;
        return true;
    }
    if (lower == "false" || lower == "no" || lower == "0") {
        out = 0;
        return true;
    }
    return false;
}

// Written text as a number: blanks around, an optional sign, then decimal digits or 0x and
// hexadecimal digits. The magnitude and whether a '-' came before it; false when the text is no
// number at all.
struct Number {
    bool negative = false;
    std::uint64_t magnitude = 0;
    bool tooLarge = false; // more than 64 bits of magnitude
};

bool ParseNumber(std::string_view text, Number& number) {
    text = Trim(text);
    number = Number();
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        number.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) {
        return false;
    }
    auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), number.magnitude, base);
    if (end != text.data() + text.size()) {
        return false;
    }
    number.tooLarge = error == std::errc::result_out_of_range;
    return error == std::errc() || number.tooLarge;
}

// DISP_E_TYPEMISMATCH for text that is no number, DISP_E_OVERFLOW for a number outside
// [low, high].
HRESULT SignedFromText(std::string_view text, std::int64_t low, std::int64_t high,
                       std::int64_t& out) {
    Number number;
    if (!ParseNumber(text, number)) {
        return DISP_E_TYPEMISMATCH;
    }
    const std::uint64_t limit =
        number.negative ? std::uint64_t(-(low + 1)) + 1 : static_cast<std::uint64_t>(high);
    if (number.tooLarge || number.magnitude > limit) {
        return DISP_E_OVERFLOW;
    }
    out = number.negative ? static_cast<std::int64_t>(0 - number.magnitude)
                          : static_cast<std::int64_t>(number.magnitude);
    return S_OK;
}

// The same for unsigned types, except that a negative number is TYPE_E_TYPEMISMATCH, not an
// overflow (peer test: propsys.c, test_PropVariantChangeType_UI4, its string_to_ui4 rows;
// negative zero is not among them and stays accepted, assumed).
HRESULT UnsignedFromText(std::string_view text, std::uint64_t high, std::uint64_t& out) {
    Number number;
    if (!ParseNumber(text, number)) {
        return DISP_E_TYPEMISMATCH;
    }
    if (number.negative && (number.magnitude != 0 || number.tooLarge)) {
        return TYPE_E_TYPEMISMATCH;
    }
    if (number.tooLarge || number.magnitude > high) {
        return DISP_E_OVERFLOW;
    }
    out = number.magnitude;
    return S_OK;
}

// Boolean text: true or false in any case, #TRUE# or #FALSE#, or a number (0 is false); no
// blanks around.
HRESULT BoolFromText(std::string_view text, std::int64_t& out) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (lower == "true" || text == "#TRUE#") {
        out = 1;
        return S_OK;
    }
    if (lower == "false" || text == "#FALSE#") {
        out = 0;
        return S_OK;
    }
    Number number;
    if (text.empty() || Trim(text).size() != text.size() || !ParseNumber(text, number)) {
        return DISP_E_TYPEMISMATCH;
    }
    out = number.magnitude != 0 || number.tooLarge ? 1 : 0;
    return S_OK;
}

bool ParseFiletime(std::string_view text, std::uint64_t& out) {
    if (text.find('-') != std::string_view::npos) {
        return ParseIso(text, out);
    }
    return ParseUnsigned(text, 0x7FFFFFFFFFFFFFFFull, out);
}

bool ParseBlob(std::string_view text, std::vector<BYTE>& out) {
    if (text.size() % 2 != 0) {
        return false;
    }
    out.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
        if (error != std::errc() || end != text.data() + i + 2) {
            return false;
        }
        out.push_back(static_cast<BYTE>(value));
    }
    return true;
}

// Comma-separated texts, each quoted or bare.
bool ParseStringList(std::string_view text, std::vector<WString>& out) {
    out.clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        if (text[pos] == '"') {
            ++end;
            while (end < text.size()) {
                if (text[end] == '"' && (end + 1 == text.size() || text[end + 1] != '"')) {
                    break;
                }
                end += text[end] == '"' ? 2 : 1;
            }
            if (end >= text.size()) {
                return false;
            }
            ++end;
        } else {
            end = text.find(',', pos);
            end = end == std::string_view::npos ? text.size() : end;
        }
        std::string element;
        if (!Unquote(text.substr(pos, end - pos), element)) {
            return false;
        }
        out.push_back(Utf8ToUtf16(element));
        if (end == text.size()) {
            return true;
        }
        if (text[end] != ',' || end + 1 == text.size()) {
            return false;
        }
        pos = end + 1;
    }
    return true;
}

bool ParsePayload(VARTYPE type, std::string_view payload, Value& value) {
    value = Value();
    value.type = type;
    switch (type) {
    case VT_LPWSTR: {
        std::string text;
        if (!Unquote(payload, text)) {
            return false;
        }
        value.text = Utf8ToUtf16(text);
        return true;
    }
    case kStrings:
        return ParseStringList(payload, value.strings);
    case VT_I4:
        return ParseSigned(payload, INT32_MIN, INT32_MAX, value.integer);
    case VT_I8:
        return ParseSigned(payload, INT64_MIN, INT64_MAX, value.integer);
    case VT_UI4:
        return ParseUnsigned(payload, UINT32_MAX, value.unsigned_);
    case VT_UI8:
        return ParseUnsigned(payload, UINT64_MAX, value.unsigned_);
    case VT_BOOL:
        return ParseBool(payload, value.integer);
    case VT_FILETIME:
        return ParseFiletime(payload, value.unsigned_);
    case VT_R8:
        return ParseDouble(payload, value.real);
    case VT_BLOB:
        return ParseBlob(payload, value.bytes);
    default:
        return false;
    }
}

std::string DoubleText(double value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

} // namespace

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

bool Unquote(std::string_view token, std::string& text) {
    text.clear();
    if (token.empty() || token.front() != '"') {
        text.assign(token);
        return true;
    }
    if (token.size() < 2 || token.back() != '"') {
        return false;
    }
    for (std::size_t i = 1; i + 1 < token.size(); ++i) {
        if (token[i] == '"') {
            if (i + 2 >= token.size() || token[i + 1] != '"') {
                return false; // a lone quote inside
            }
            ++i;
        }
        text += token[i];
    }
    return true;
}

bool ParseTypedValue(std::string_view text, Value& value, std::string& error) {
    const std::size_t colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    for (const TypeName& entry : kTypeNames) {
        if (name != entry.name) {
            continue;
        }
        const bool bare = entry.type == VT_EMPTY || entry.type == VT_UNKNOWN;
        if (bare != (colon == std::string_view::npos)) {
            error = bare ? "\"" + std::string(name) + "\" takes no value"
                         : "\"" + std::string(name) + "\" needs a value after ':'";
            return false;
        }
        if (bare) {
            value = Value();
            value.type = entry.type;
            return true;
        }
        if (!ParsePayload(entry.type, text.substr(colon + 1), value)) {
            error = "bad " + std::string(name) + " value \"" + std::string(text.substr(colon + 1)) +
                    "\"";
            return false;
        }
        return true;
    }
    error = "unknown value type \"" + std::string(name) + "\"";
    return false;
}

std::string TypedValueText(const Value& value) {
    switch (value.type) {
    case VT_EMPTY:
        return "empty";
    case VT_UNKNOWN:
        return "unknown";
    case VT_LPWSTR:
        return "lpwstr:" + Quote(Utf16ToUtf8(value.text));
    case kStrings: {
        std::string text = "strings:";
        for (std::size_t i = 0; i < value.strings.size(); ++i) {
            text += (i ? "," : "") + Quote(Utf16ToUtf8(value.strings[i]));
        }
        return text;
    }
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
        return "i4:" + std::to_string(value.integer);
    case VT_I8:
        return "i8:" + std::to_string(value.integer);
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
        return "ui4:" + std::to_string(value.unsigned_);
    case VT_UI8:
        return "ui8:" + std::to_string(value.unsigned_);
    case VT_BOOL:
        return value.integer ? "bool:true" : "bool:false";
    case VT_FILETIME: {
        char buffer[32];
        return "filetime:" + std::string(IsoText(value.unsigned_, buffer));
    }
    case VT_R4:
    case VT_R8:
        return "double:" + DoubleText(value.real);
    case VT_BLOB: {
        std::string text = "blob:";
        for (BYTE b : value.bytes) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", b);
            text += hex;
        }
        return text;
    }
    default:
        return "empty";
    }
}

HRESULT ValueFromText(VARTYPE type, const WString& text, Value& value) {
    Value converted;
    converted.type = type;
    if (type == VT_LPWSTR) {
        converted.text = text;
        value = std::move(converted);
        return S_OK;
    }
    if (type == kStrings) {
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find(WCHAR(';'), start);
            end = end == WString::npos ? text.size() : end;
            converted.strings.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        value = std::move(converted);
        return S_OK;
    }
    const std::string narrow = Utf16ToUtf8(text);
    HRESULT result = DISP_E_TYPEMISMATCH;
    switch (type) {
    case VT_I4:
        result = SignedFromText(narrow, INT32_MIN, INT32_MAX, converted.integer);
        break;
    case VT_I8:
        result = SignedFromText(narrow, INT64_MIN, INT64_MAX, converted.integer);
        break;
    case VT_UI4:
        result = UnsignedFromText(narrow, UINT32_MAX, converted.unsigned_);
        break;
    case VT_UI8:
        result = UnsignedFromText(narrow, UINT64_MAX, converted.unsigned_);
        break;
    case VT_BOOL:
        result = BoolFromText(narrow, converted.integer);
        break;
    case VT_R8:
        result = ParseDouble(Trim(narrow), converted.real) ? S_OK : DISP_E_TYPEMISMATCH;
        break;
    case VT_FILETIME: {
        const std::string_view trimmed = Trim(narrow);
        result = ParseCanonicalDate(trimmed, converted.unsigned_) ||
                         ParseIso(trimmed, converted.unsigned_)
                     ? S_OK
                     : DISP_E_TYPEMISMATCH;
        break;
    }
    default:
        break;
    }
    if (FAILED(result)) {
        return result;
    }
    value = std::move(converted);
    return S_OK;
}

HRESULT CoerceToType(const PROPERTYKEY& key, VARTYPE type, const Value& value, Value& coerced) {
    if (type == VT_EMPTY) {
        coerced = value; // untyped: a test's own key keeps what it is given
        return S_OK;
    }
    // 1. Values that mean nothing become empty.
    if (value.IsEmpty() || (value.type == VT_LPWSTR && TrimBlanks(value.text).empty()) ||
        (value.type == VT_FILETIME && value.unsigned_ < kOneDayOfTicks)) {
        coerced = Value();
        return S_OK;
    }
    // 2. The property's own type.
    Value typed;
    if (value.type == type) {
        typed = value;
    } else if (value.type == VT_LPWSTR) {
        const HRESULT result = ValueFromText(type, value.text, typed);
        if (FAILED(result)) {
            return result;
        }
    } else {
        return TYPE_E_TYPEMISMATCH;
    }
    // 3. The canonical form of the type.
    if (typed.type == VT_FILETIME && typed.unsigned_ < kOneDayOfTicks) {
        typed = Value();
    } else if (typed.type == VT_LPWSTR) {
        typed.text = TrimBlanks(typed.text);
        if (typed.text.empty()) {
            typed = Value();
        }
    } else if (typed.type == kStrings) {
        std::vector<WString> kept;
        for (const WString& element : typed.strings) {
            WString trimmed = TrimBlanks(element);
            bool seen = trimmed.empty();
            for (const WString& earlier : kept) {
                seen = seen || earlier == trimmed;
            }
            if (!seen) {
                kept.push_back(std::move(trimmed));
            }
        }
        typed.strings = std::move(kept);
        if (typed.strings.empty()) {
            typed = Value();
        }
    }
    // 4. A ranged property: a number outside every range becomes empty. System.Rating's ranges
    // start at 1 and the last one is open, so only 0 is outside them.
    if (SameKey(key, kRatingKey) && IsUnsigned(typed.type) && typed.unsigned_ < kRatingMin) {
        typed = Value();
    }
    coerced = std::move(typed);
    return S_OK;
}

HRESULT CoerceVariant(const PropertyInfo& info, PROPVARIANT* variant) {
    Value given;
    Value coerced;
    HRESULT result = FromVariant(*variant, given);
    if (SUCCEEDED(result)) {
        result = CoerceToType(info.key, info.type, given, coerced);
    } else {
        result = E_INVALIDARG;
    }
    PROPVARIANT fresh;
    std::memset(&fresh, 0, sizeof fresh);
    if (SUCCEEDED(result)) {
        result = ToVariant(coerced, &fresh);
    }
    ClearVariant(variant);
    *variant = fresh;
    return result;
}

} // namespace standin
