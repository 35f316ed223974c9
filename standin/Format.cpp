#include "standin/Format.h"

#include "standin/Dates.h"
#include "standin/Keys.h"
#include "standin/Schema.h"
#include "standin/Text.h"
#include "standin/Value.h"

#include <charconv>
#include <cstdio>

namespace standin {
namespace {

constexpr const char* kMonths[12] = {"January",   "February", "March",    "April",
                                     "May",       "June",     "July",     "August",
                                     "September", "October",  "November", "December"};
constexpr const char* kWeekdays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};

std::string Grouped(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) {
        digits.insert(static_cast<std::size_t>(i), ",");
    }
    return digits;
}

// "123 bytes", "1.20 KB", "45.6 MB", "789 GB": three significant digits, truncated, in steps
// of 1024; with PDFF_ALWAYSKB whole kilobytes rounded up, "1,235 KB".
std::string ByteSize(std::uint64_t bytes, DWORD flags) {
    if (flags & PDFF_ALWAYSKB) {
        return Grouped(bytes / 1024 + (bytes % 1024 != 0)) + " KB";
    }
    if (bytes < 1024) {
        return std::to_string(bytes) + " bytes";
    }
    static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    int unit = 0;
    std::uint64_t scale = 1024;
    while (unit < 5 && bytes / scale >= 1024) {
        scale *= 1024;
        ++unit;
    }
    const std::uint64_t whole = bytes / scale;
    // Wide enough for exabytes.
    const auto hundredths = static_cast<std::uint64_t>(
        whole * 100 + static_cast<unsigned __int128>(bytes % scale) * 100 / scale);
    const std::string unitText = std::string(" ") + kUnits[unit];
    if (whole >= 100) {
        return std::to_string(whole) + unitText;
    }
    if (whole >= 10) {
        return std::to_string(whole) + "." + std::to_string(hundredths / 10 % 10) + unitText;
    }
    const std::uint64_t fraction = hundredths % 100;
    return std::to_string(whole) + (fraction < 10 ? ".0" : ".") + std::to_string(fraction) +
           unitText;
}

// Date and time in UTC: "2024-01-31 14:05" by default. PDFF_LONGTIME adds seconds,
// PDFF_LONGDATE spells the date ("Wednesday, January 31, 2024"), PDFF_HIDETIME and
// PDFF_HIDEDATE leave a part out.
std::string DateText(std::uint64_t ticks, DWORD flags) {
    const CivilTime c = CivilFromTicks(ticks);
    char date[64] = "";
    char time[16] = "";
    if (!(flags & PDFF_HIDEDATE)) {
        if (flags & PDFF_LONGDATE) {
            std::snprintf(date, sizeof date, "%s, %s %d, %04d", kWeekdays[c.weekday],
                          kMonths[c.month - 1], c.day, c.year);
        } else {
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", c.year, c.month, c.day);
        }
    }
    if (!(flags & PDFF_HIDETIME)) {
        if (flags & PDFF_LONGTIME) {
            std::snprintf(time, sizeof time, "%02d:%02d:%02d", c.hour, c.minute, c.second);
        } else {
            std::snprintf(time, sizeof time, "%02d:%02d", c.hour, c.minute);
        }
    }
    return std::string(date) + (date[0] && time[0] ? " " : "") + time;
}

std::string DoubleText(double value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

} // namespace

HRESULT FormatValue(const PROPERTYKEY& key, const PROPVARIANT& variant, DWORD flags,
                    WString& text) {
    text.clear();
    Value value;
    if (FAILED(FromVariant(variant, value))) {
        return E_INVALIDARG;
    }
    WString body;
    if (value.type == VT_EMPTY) {
        return S_FALSE;
    } else if (value.type == VT_LPWSTR) {
        body = value.text;
    } else if (value.type == (VT_VECTOR | VT_LPWSTR)) {
        for (std::size_t i = 0; i < value.strings.size(); ++i) {
            body += (i ? U16("; ") : U16("")) + value.strings[i];
        }
    } else if (IsUnsigned(value.type)) {
        body = AsciiToUtf16(SameKey(key, kSizeKey) ? ByteSize(value.unsigned_, flags)
                                                   : std::to_string(value.unsigned_));
    } else if (IsSigned(value.type)) {
        body = AsciiToUtf16(SameKey(key, kSizeKey) && value.integer >= 0
                                ? ByteSize(static_cast<std::uint64_t>(value.integer), flags)
                                : std::to_string(value.integer));
    } else if (value.type == VT_BOOL) {
        body = value.integer ? U16("Yes") : U16("No");
    } else if (value.type == VT_R4 || value.type == VT_R8) {
        body = AsciiToUtf16(DoubleText(value.real));
    } else if (value.type == VT_FILETIME) {
        body = AsciiToUtf16(DateText(value.unsigned_, flags));
    } else {
        return E_INVALIDARG; // blobs and interfaces have no display text
    }
    const PropertyInfo* info = FindProperty(key);
    if ((flags & PDFF_PREFIXNAME) && info != nullptr) {
        text = WString(info->displayName) + U16(": ");
    }
    text += body;
    return S_OK;
}

} // namespace standin
