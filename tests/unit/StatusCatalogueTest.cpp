#include "status/StatusCatalogue.h"

#include "HostHarness.h"
#include "extender/ZEKExtender.h"

#include <gtest/gtest.h>

#include <vector>

using zektest::Utf16;

TEST(StatusCatalogue, UnknownCodesGetTheNotFoundText) {
    struct Case {
        StatusCode code;
        const char* text;
    };
    constexpr Case cases[] = {
        {225, "Unknown status code: 225."},
        {-1, "Unknown status code: -1."},
        {903, "Unknown status code: 903."},
        {INT32_MIN, "Unknown status code: -2147483648."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        WString text = U16("left over");
        EXPECT_FALSE(GetStatusMessage(c.code, text));
        EXPECT_EQ(text, Utf16(c.text));
        EXPECT_EQ(StatusMessageOf(c.code), Utf16(c.text));
        EXPECT_TRUE(IsUnknownStatusCode(c.code));
    }
}

TEST(ErrorText, ExtenderMessagesOnlyFrom500To899) {
    auto& extender = *zekextender::TheExtender;
    EXPECT_FALSE(extender.SetErrorMessage(499, U16("too low")));
    EXPECT_FALSE(extender.SetErrorMessage(900, U16("too high")));
    EXPECT_FALSE(extender.SetErrorMessage(903, U16("framework's own")));

    ASSERT_TRUE(extender.SetErrorMessage(500, U16("Mine.")));
    ASSERT_TRUE(extender.SetErrorMessage(899, U16("Last.")));
    WString text;
    extender.FormatErrorText(500, text);
    EXPECT_EQ(text, Utf16("500: ZXVTO38R: Mine."));
    extender.FormatErrorText(899, text);
    EXPECT_EQ(text, Utf16("899: ZXVTO38R: Last."));

    EXPECT_TRUE(extender.SetErrorMessage(500, WString()));
    EXPECT_TRUE(extender.SetErrorMessage(899, WString()));
    extender.FormatErrorText(500, text);
    EXPECT_TRUE(text.empty());
    extender.FormatErrorText(903, text);
    EXPECT_EQ(text, Utf16("903: ZXVTO38R: Need newer version of the ZEK DLL"));
}

// Texts are composed on the stack; one longer than the room there still arrives whole, on the
// error path and through vtoGetErrorText.
TEST(ErrorText, ALongMessageArrivesWhole) {
    auto& extender = *zekextender::TheExtender;
    WString message(3 * zekextender::ErrorTextCapacity, U16('x'));
    message += U16("\u00e9\u4e00"); // in code page 28591, and not
    ASSERT_TRUE(extender.SetErrorMessage(500, message));
    const WString expected = U16("500: ZXVTO38R: ") + message;

    zektest::HostHarness host;
    host.Call("vtoGetErrorText", {zektest::HostHarness::Integer(500)});
    extender.BeginCall(1, &zektest::HostHarness::Callback, &host.services, &host.result, 0);
    extender.ReturnError(-1, 500);
    ASSERT_EQ(host.deliveries.size(), 2u);
    EXPECT_EQ(host.deliveries[0].wide, expected);
    EXPECT_EQ(host.deliveries[1].resultCode, -1);
    EXPECT_EQ(host.deliveries[1].narrow,
              "500: ZXVTO38R: " + std::string(3 * zekextender::ErrorTextCapacity, 'x') + "\xE9?");
    EXPECT_TRUE(extender.SetErrorMessage(500, WString()));
}

// Without memory the error is still worded, from the same composer, as far as its fixed room
// allows; characters outside code page 28591 become '?' there too.
TEST(ErrorText, WithoutMemoryALongTextIsCutToItsRoom) {
    auto& extender = *zekextender::TheExtender;
    const std::string prefix = "500: ZXVTO38R: ";
    ASSERT_TRUE(extender.SetErrorMessage(500, U16("\u00e9\u4e00") + WString(2000, U16('x'))));
    zektest::HostHarness host;
    extender.BeginCall(1, &zektest::HostHarness::Callback, &host.services, &host.result, 0);
    extender.ReturnErrorWithoutAllocation(-1, 500);
    ASSERT_EQ(host.deliveries.size(), 1u);
    EXPECT_EQ(host.deliveries[0].resultCode, -1);
    EXPECT_EQ(host.deliveries[0].narrow,
              prefix + "\xE9?" + std::string(1023 - prefix.size() - 2, 'x'));
    EXPECT_TRUE(extender.SetErrorMessage(500, WString()));
}

// Every error text is composed into a buffer; one too small holds as much as fits, terminated.
TEST(ErrorText, ComposedIntoTheRoomThereIs) {
    const auto& extender = *zekextender::TheExtender;
    WString expected;
    extender.FormatErrorText(9, expected);
    const std::size_t length = extender.ComposeErrorText(9, nullptr, 0);
    ASSERT_EQ(length, expected.size());

    std::vector<WCHAR> buffer(length + 1, U16('#'));
    EXPECT_EQ(extender.ComposeErrorText(9, buffer.data(), 1), length);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], U16('#'));
    EXPECT_EQ(extender.ComposeErrorText(9, buffer.data(), 6), length); // inside the short name
    EXPECT_EQ(WString(buffer.data()), expected.substr(0, 5));
    EXPECT_EQ(extender.ComposeErrorText(9, buffer.data(), length), length);
    EXPECT_EQ(WString(buffer.data()), expected.substr(0, length - 1));
    EXPECT_EQ(extender.ComposeErrorText(9, buffer.data(), length + 1), length);
    EXPECT_EQ(WString(buffer.data()), expected);

    EXPECT_EQ(extender.ComposeErrorText(225, buffer.data(), buffer.size()), 0u);
    EXPECT_EQ(buffer[0], 0); // no message: an empty text
}
