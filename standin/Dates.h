// FILETIME (100 ns ticks since 1601-01-01 UTC) and the proleptic Gregorian calendar in UTC,
// computed here so that dates read the same on every platform and in every time zone.
#pragma once

#include <cstdint>
#include <string_view>

namespace standin {

struct CivilTime {
    int year;
    int month;   // 1..12
    int day;     // 1..31
    int hour;    // 0..23
    int minute;  // 0..59
    int second;  // 0..59
    int ticks;   // 0..9999999, 100 ns units
    int weekday; // 0 Sunday .. 6 Saturday (ignored when converting to ticks)
};

CivilTime CivilFromTicks(std::uint64_t ticks);
// False for a date before 1601 or past the FILETIME range, or an invalid field.
bool TicksFromCivil(const CivilTime& civil, std::uint64_t& ticks);

// Seconds and nanoseconds since 1970-01-01 UTC, clamped to the FILETIME range.
std::uint64_t TicksFromUnix(std::int64_t seconds, std::int64_t nanoseconds);

// "2024-01-31T12:34:56Z", with ".fffffff" when there are sub-second ticks.
std::string_view IsoText(std::uint64_t ticks, char (&buffer)[32]);
// The same form; the time, its seconds, the fraction (1 to 7 digits) and the Z are optional.
bool ParseIso(std::string_view text, std::uint64_t& ticks);
// The canonical form text and dates convert through: "2024/01/31:14:05:09.250", in UTC; the
// milliseconds (1 to 3 digits) are optional.
bool ParseCanonicalDate(std::string_view text, std::uint64_t& ticks);

} // namespace standin
