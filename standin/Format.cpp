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

// The reading-order marks Windows puts into date and time text.
constexpr WCHAR kLeftToRight = 0x200E;
constexpr WCHAR kRightToLeft = 0x200F;

// Date and time in en-US, in UTC: "1/31/2024 2:05 PM" by default, every number of the date
// preceded by U+200E and the time by U+200F U+200E unless PDFF_NOAUTOREADINGORDER.
// PDFF_LONGTIME adds seconds, PDFF_LONGDATE spells the date ("Wednesday, January 31, 2024",
// one U+200E before it), PDFF_HIDETIME and PDFF_HIDEDATE leave a part out.
WString DateText(std::uint64_t ticks, DWORD flags) {
    const CivilTime c = CivilFromTicks(ticks);
    const bool marks = !(flags & PDFF_NOAUTOREADINGORDER);
    const WString mark = marks ? WString(1, kLeftToRight) : WString();
    WString date;
    WString time;
    if (!(flags & PDFF_HIDEDATE)) {
        char text[64];
        if (flags & PDFF_LONGDATE) {
            std::snprintf(text, sizeof text, "%s, %s %d, %d", kWeekdays[c.weekday],
                          kMonths[c.month - 1], c.day, c.year);
            date = mark + AsciiToUtf16(text);
        } else {
            date = mark + AsciiToUtf16(std::to_string(c.month)) + U16("/") + mark +
                   AsciiToUtf16(std::to_string(c.day)) + U16("/") + mark +
                   AsciiToUtf16(std::to_string(c.year));
        }
    }
    if (!(flags & PDFF_HIDETIME)) {
        char text[32];
        const int hour = c.hour % 12 == 0 ? 12 : c.hour % 12;
        const char* half = c.hour < 12 ? "AM" : "PM";
        if (flags & PDFF_LONGTIME) {
            std::snprintf(text, sizeof text, "%d:%02d:%02d %s", hour, c.minute, c.second, half);
        } else {
            std::snprintf(text, sizeof text, "%d:%02d %s", hour, c.minute, half);
        }
        time = AsciiToUtf16(text);
        if (marks) {
            time = (date.empty() ? WString() : WString(1, kRightToLeft)) + mark + time;
        }
    }
    return date + (!date.empty() && !time.empty() ? U16(" ") : U16("")) + time;
}

// System.Rating's range labels, one to five stars from 1 to 99. The open range from 100 has no
// label and 0 is in no range: both show the number as it is.
std::string RatingText(std::uint64_t rating) {
    static constexpr std::uint64_t kStarsUpTo[] = {12, 37, 62, 87, 99};
    for (int stars = 1; stars <= 5 && rating != 0; ++stars) {
        if (rating <= kStarsUpTo[stars - 1]) {
            return std::to_string(stars) + (stars == 1 ? " Star" : " Stars");
        }
    }
    return std::to_string(rating);
}

// File attributes as letters, in this order; bits without a letter are not shown.
std::string AttributeLetters(std::uint64_t attributes) {
    struct Letter {
        DWORD bit;
        char letter;
    };
    static constexpr Letter kLetters[] = {
        {0x1, 'R'},   {0x2, 'H'},   {0x4, 'S'},   {0x10, 'D'},   {0x20, 'A'},
        {0x100, 'T'}, {0x400, 'L'}, {0x800, 'C'}, {0x1000, 'O'}, {0x4000, 'E'},
    };
    std::string letters;
    for (const Letter& entry : kLetters) {
        if (attributes & entry.bit) {
            letters += entry.letter;
        }
    }
    return letters;
}

// Text shows on one line: each run of tabs and line breaks becomes one space.
WString OneLine(const WString& text) {
    WString line;
    bool inBreak = false;
    for (WCHAR c : text) {
        const bool breaks = c == '\t' || c == '\r' || c == '\n';
        if (!breaks) {
            line += c;
        } else if (!inBreak) {
            line += WCHAR(' ');
        }
        inBreak = breaks;
    }
    return line;
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
        body = OneLine(value.text);
    } else if (value.type == (VT_VECTOR | VT_LPWSTR)) {
        for (std::size_t i = 0; i < value.strings.size(); ++i) {
            body += (i ? U16("; ") : U16("")) + OneLine(value.strings[i]);
        }
    } else if (IsUnsigned(value.type)) {
        std::string number = std::to_string(value.unsigned_);
        if (SameKey(key, kSizeKey)) {
            number = ByteSize(value.unsigned_, flags);
        } else if (SameKey(key, kRatingKey)) {
            number = RatingText(value.unsigned_);
        } else if (SameKey(key, kAttributesKey)) {
            // Letters whatever the format flags ask for, the name prefix too.
            text = AsciiToUtf16(AttributeLetters(value.unsigned_));
            return S_OK;
        }
        body = AsciiToUtf16(number);
    } else if (IsSigned(value.type)) {
        body = AsciiToUtf16(SameKey(key, kSizeKey) && value.integer >= 0
                                ? ByteSize(static_cast<std::uint64_t>(value.integer), flags)
                                : std::to_string(value.integer));
    } else if (value.type == VT_BOOL) {
        body = value.integer ? U16("Yes") : U16("No");
    } else if (value.type == VT_R4 || value.type == VT_R8) {
        body = AsciiToUtf16(DoubleText(value.real));
    } else if (value.type == VT_FILETIME) {
        body = DateText(value.unsigned_, flags);
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
