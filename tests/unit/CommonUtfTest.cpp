// The UTF-8 of the host's scripts and of the stand-in's commands and files: what is refused,
// what is replaced, and the boundaries between the lengths of a sequence.
#include "common/Utf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DecodeCase {
    const char* text;
    const WCHAR* expected; // null: refused, and each malformed byte replaced as below
    const WCHAR* replaced;
};

const DecodeCase DecodeCases[] = {
    {"a\x7f", U16("a\x7f"), U16("a\x7f")},
    {"\xc2\x80\xdf\xbf", U16("\u0080\u07ff"), U16("\u0080\u07ff")},
    {"\xe0\xa0\x80\xef\xbf\xbf", U16("\u0800\uffff"), U16("\u0800\uffff")},
    {"\xf0\x90\x80\x80\xf4\x8f\xbf\xbf", U16("\U00010000\U0010FFFF"), U16("\U00010000\U0010FFFF")},
    {"\x80", nullptr, U16("\ufffd")}, // a continuation byte alone
    {"\xbf", nullptr, U16("\ufffd")},
    {"\xc0\x80", nullptr, U16("\ufffd\ufffd")},                     // overlong
    {"\xe0\x9f\xbf", nullptr, U16("\ufffd\ufffd\ufffd")},           // overlong
    {"\xed\xa0\x80", nullptr, U16("\ufffd\ufffd\ufffd")},           // a surrogate
    {"\xf4\x90\x80\x80", nullptr, U16("\ufffd\ufffd\ufffd\ufffd")}, // past U+10FFFF
    {"\xf8\x88\x80\x80\x80", nullptr, U16("\ufffd\ufffd\ufffd\ufffd\ufffd")},
    {"x\xc3", nullptr, U16("x\ufffd")}, // cut short
    {"\xc3x", nullptr, U16("\ufffdx")},
};

TEST(CommonUtf, Utf8ToUtf16) {
    for (const DecodeCase& test : DecodeCases) {
        SCOPED_TRACE(test.text);
        WString out = U16("left over");
        EXPECT_EQ(zekutf::Utf8ToUtf16(test.text, out), test.expected != nullptr);
        if (test.expected != nullptr) {
            EXPECT_EQ(out, WString(test.expected));
        }
        EXPECT_EQ(zekutf::Utf8ToUtf16Replacing(test.text), WString(test.replaced));
        if (HasFailure()) {
            break; // a decoder that has lost its place may not end on the next case
        }
    }
}

TEST(CommonUtf, Utf16ToUtf8) {
    const struct {
        const WCHAR* text;
        const char* expected;
    } cases[] = {
        {U16("a\x7f"), "a\x7f"},
        {U16("\u0080\u07ff"), "\xc2\x80\xdf\xbf"},
        {U16("\u0800\uffff"), "\xe0\xa0\x80\xef\xbf\xbf"},
        {U16("\U00010000\U0010FFFF"), "\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"},
        {U16("x\xd800y"), "x\xef\xbf\xbdy"}, // unpaired surrogates
        {U16("\xdc00\xd800"), "\xef\xbf\xbd\xef\xbf\xbd"},
        {U16("x\xd800"), "x\xef\xbf\xbd"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.expected);
        EXPECT_EQ(zekutf::Utf16ToUtf8(WString(test.text)), test.expected);
    }
}

} // namespace
