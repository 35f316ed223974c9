#include "standin/Dates.h"

#include <cstdio>

namespace standin {
namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000;
constexpr std::uint64_t kTicksPerDay = kTicksPerSecond * 86400;
constexpr std::int64_t kDaysFrom1601To1970 = 134774;

// Days since 1970-01-01 of a civil date, and back (H. Hinnant's algorithms).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Reads exactly `digits` decimal digits.
bool Digits(std::string_view text, std::size_t& pos, std::size_t digits, int& value) {
    if (pos + digits > text.size()) {
        return false;
    }
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    pos += digits;
    return true;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

// Digits after a decimal point, up to maxDigits of them, as 100 ns ticks; at least one.
bool Fraction(std::string_view text, std::size_t& pos, std::size_t maxDigits, int& ticks) {
    int scale = 1000000;
    const std::size_t start = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < maxDigits) {
        ticks += (text[pos] - '0') * scale;
        scale /= 10;
        ++pos;
    }
    return pos != start;
}

} // namespace

CivilTime CivilFromTicks(std::uint64_t ticks) {
    CivilTime civil{};
    const std::int64_t days = static_cast<std::int64_t>(ticks / kTicksPerDay);
    std::uint64_t rest = ticks % kTicksPerDay;
    CivilFromDays(days - kDaysFrom1601To1970, civil.year, civil.month, civil.day);
    civil.ticks = static_cast<int>(rest % kTicksPerSecond);
    rest /= kTicksPerSecond;
    civil.second = static_cast<int>(rest % 60);
    civil.minute = static_cast<int>(rest / 60 % 60);
    civil.hour = static_cast<int>(rest / 3600);
    civil.weekday = static_cast<int>((days + 1) % 7); // 1601-01-01 was a Monday
    return civil;
}

bool TicksFromCivil(const CivilTime& civil, std::uint64_t& ticks) {
    if (civil.year < 1601 || civil.year > 30827 || civil.month < 1 || civil.month > 12 ||
        civil.day < 1 || civil.day > DaysInMonth(civil.year, civil.month) || civil.hour < 0 ||
        civil.hour > 23 || civil.minute < 0 || civil.minute > 59 || civil.second < 0 ||
        civil.second > 59 || civil.ticks < 0 || civil.ticks >= 10000000) {
        return false;
    }
    const std::int64_t days =
        DaysFromCivil(civil.year, civil.month, civil.day) + kDaysFrom1601To1970;
    const std::uint64_t seconds =
        static_cast<std::uint64_t>(days) * 86400 + static_cast<std::uint64_t>(civil.hour) * 3600 +
        static_cast<std::uint64_t>(civil.minute) * 60 + static_cast<std::uint64_t>(civil.second);
    ticks = seconds * kTicksPerSecond + static_cast<std::uint64_t>(civil.ticks);
    return ticks <= 0x7FFFFFFFFFFFFFFFull;
}

std::uint64_t TicksFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
    constexpr std::int64_t kOffset = kDaysFrom1601To1970 * 86400;
    if (seconds < -kOffset) {
        return 0;
    }
    if (seconds > 900000000000LL) {
        return 0x7FFFFFFFFFFFFFFFull;
    }
    return static_cast<std::uint64_t>(seconds + kOffset) * kTicksPerSecond +
           static_cast<std::uint64_t>(nanoseconds / 100);
}

std::string_view IsoText(std::uint64_t ticks, char (&buffer)[32]) {
    const CivilTime c = CivilFromTicks(ticks);
    int length = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", c.year,
                               c.month, c.day, c.hour, c.minute, c.second);
    if (c.ticks != 0) {
        length += std::snprintf(buffer + length, sizeof buffer - length, ".%07d", c.ticks);
    }
    buffer[length++] = 'Z';
    buffer[length] = '\0';
    return std::string_view(buffer, static_cast<std::size_t>(length));
}

bool ParseIso(std::string_view text, std::uint64_t& ticks) {
    CivilTime civil{};
    std::size_t pos = 0;
    if (!Digits(text, pos, 4, civil.year) || !Expect(text, pos, '-') ||
        !Digits(text, pos, 2, civil.month) || !Expect(text, pos, '-') ||
        !Digits(text, pos, 2, civil.day)) {
        return false;
    }
    if (Expect(text, pos, 'T')) {
        if (!Digits(text, pos, 2, civil.hour) || !Expect(text, pos, ':') ||
            !Digits(text, pos, 2, civil.minute)) {
            return false;
        }
        if (Expect(text, pos, ':')) {
            if (!Digits(text, pos, 2, civil.second)) {
                return false;
            }
            if (Expect(text, pos, '.') && !Fraction(text, pos, 7, civil.ticks)) {
                return false;
            }
        }
    }
    Expect(text, pos, 'Z');
    return pos == text.size() && TicksFromCivil(civil, ticks);
}

bool ParseCanonicalDate(std::string_view text, std::uint64_t& ticks) {
    CivilTime civil{};
    std::size_t pos = 0;
    if (!Digits(text, pos, 4, civil.year) || !Expect(text, pos, '/') ||
        !Digits(text, pos, 2, civil.month) || !Expect(text, pos, '/') ||
        !Digits(text, pos, 2, civil.day) || !Expect(text, pos, ':') ||
        !Digits(text, pos, 2, civil.hour) || !Expect(text, pos, ':') ||
        !Digits(text, pos, 2, civil.minute) || !Expect(text, pos, ':') ||
        !Digits(text, pos, 2, civil.second)) {
        return false;
    }
    if (Expect(text, pos, '.') && !Fraction(text, pos, 3, civil.ticks)) {
        return false;
    }
    return pos == text.size() && TicksFromCivil(civil, ticks);
}

} // namespace standin
