// Hexadecimal digits as the host's scripts and the stand-in's property keys read them: the
// edges of each digit range, and a run of digits that is cut short or broken.
#include "common/HexDigits.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DigitCase {
    char c;
    int value;
};

// Each range's ends, and the characters just outside them.
constexpr DigitCase DigitCases[] = {
    {'0', 0},  {'9', 9},  {'a', 10}, {'f', 15}, {'A', 10}, {'F', 15}, {'/', -1},
    {':', -1}, {'`', -1}, {'g', -1}, {'@', -1}, {'G', -1}, {'x', -1}, {'\0', -1},
};

TEST(HexDigits, DigitValues) {
    for (const DigitCase& test : DigitCases) {
        SCOPED_TRACE(std::string(1, test.c));
        EXPECT_EQ(zekcommon::HexDigitValue(test.c), test.value);
    }
}

struct RunCase {
    const char* text;
    std::size_t pos;
    std::size_t digits;
    bool read;
    std::uint64_t value;
};

constexpr RunCase RunCases[] = {
    {"{1aF}", 1, 3, true, 0x1AF},
    {"00ff", 0, 4, true, 0xFF},                               // leading zeros
    {"FfFfFfFfFfFfFfFf", 0, 16, true, 0xFFFFFFFFFFFFFFFFull}, // the whole width
    {"12", 2, 0, true, 0},                                    // no digits asked for
    {"123", 1, 3, false, 0},                                  // the text ends first
    {"123", 4, 0, false, 0},                                  // a start past the end
    {"1g3", 0, 3, false, 0},                                  // a non-digit inside
    {"12 ", 0, 3, false, 0},
};

TEST(HexDigits, RunsOfDigits) {
    for (const RunCase& test : RunCases) {
        SCOPED_TRACE(std::string(test.text) + " at " + std::to_string(test.pos));
        std::uint64_t value = 7;
        EXPECT_EQ(zekcommon::ReadHexDigits(test.text, test.pos, test.digits, value), test.read);
        if (test.read) {
            EXPECT_EQ(value, test.value);
        }
    }
}

} // namespace
