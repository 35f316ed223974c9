// UTF-8 from the platform layer's WideCharToMultiByte: every length of sequence, unpaired
// surrogates replaced or refused, and the arguments that UTF-8 does not take.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32

namespace {

struct Utf8Case {
    const char16_t* text;
    DWORD flags;
    const char* expected; // null: refused with `error`
    DWORD error;
};

const Utf8Case Utf8Cases[] = {
    {u"plain", 0, "plain", 0},
    {u"a\u00e9\u20ac\U0001F600", 0, "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", 0},
    {u"\u007f\u0080\u07ff\u0800\uffff", 0, "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf", 0},
    {u"x\xd800y", 0, "x\xef\xbf\xbdy", 0},
    {u"\xdc00\xdc00", 0, "\xef\xbf\xbd\xef\xbf\xbd", 0},
    {u"x\xd800", 0, "x\xef\xbf\xbd", 0},
    {u"x\xd800y", WC_ERR_INVALID_CHARS, nullptr, ERROR_NO_UNICODE_TRANSLATION},
    {u"\U0001F600", WC_ERR_INVALID_CHARS, "\xf0\x9f\x98\x80", 0},
    {u"x", 0x400 /* WC_NO_BEST_FIT_CHARS */, nullptr, ERROR_INVALID_FLAGS},
};

TEST(PlatformUtf8, WideCharToUtf8) {
    for (const Utf8Case& test : Utf8Cases) {
        const WString text(test.text);
        SCOPED_TRACE(test.expected != nullptr ? test.expected : "refused");
        SetLastError(0);
        const int size = WideCharToMultiByte(CP_UTF8, test.flags, text.c_str(), -1, nullptr, 0,
                                             nullptr, nullptr);
        if (test.expected == nullptr) {
            EXPECT_EQ(size, 0);
            EXPECT_EQ(GetLastError(), test.error);
            continue;
        }
        const std::string expected(test.expected);
        ASSERT_EQ(size, static_cast<int>(expected.size()) + 1);
        std::vector<char> out(static_cast<std::size_t>(size) + 1, '#');
        EXPECT_EQ(WideCharToMultiByte(CP_UTF8, test.flags, text.c_str(), -1, out.data(), size,
                                      nullptr, nullptr),
                  size);
        EXPECT_EQ(std::string(out.data()), expected);
        EXPECT_EQ(out[static_cast<std::size_t>(size)], '#') << "nothing written past the room";
    }
}

TEST(PlatformUtf8, DefaultCharactersAndUnknownCodePagesAreRefused) {
    const WString text(u"x");
    char buffer[8] = {};
    BOOL usedDefault = FALSE;
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, buffer, 8, "?", nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, buffer, 8, nullptr, &usedDefault),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(12345, 0, text.c_str(), -1, buffer, 8, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

} // namespace

#endif
