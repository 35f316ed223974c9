// docs/status-codes.md is what script authors read about status codes: it must list every
// code the extender has a message for, with exactly the words scripts receive, and no other.
#include "status/StatusCatalogue.h"

#include "extender/ZEKExtender.h"
#include "host/Utf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using zekextender::CZEKExtender;
using zekextender::TheExtender;

#ifdef ZEK_SOURCE_DIR
constexpr const char* SourceDirectory = ZEK_SOURCE_DIR;
#else
constexpr const char* SourceDirectory = nullptr;
#endif

// The framework's own message table, which CZEKExtender keeps protected.
struct FrameworkMessages : CZEKExtender {
    static const std::map<std::int32_t, WString>& Of(const CZEKExtender& extender) {
        return extender.*&FrameworkMessages::messages;
    }
};

struct StatusCodeDocument {
    bool opened = false;
    std::map<std::int32_t, std::string> rows; // code → message, UTF-8
    std::vector<std::string> problems;        // malformed rows and repeated codes
};

// A separator or heading line of a table, as opposed to a row.
bool IsTableFrame(const std::string& line) {
    return line == "| Code | Message |" || line.find_first_not_of("|-: ") == std::string::npos;
}

// "| CODE | MESSAGE |": the message is everything between the blanks that follow the second
// bar and precede the last one, so blanks inside it count.
bool ParseRow(const std::string& line, std::int32_t& code, std::string& message) {
    if (line.compare(0, 2, "| ") != 0 || line.size() < 9 ||
        line.compare(line.size() - 2, 2, " |") != 0) {
        return false;
    }
    std::size_t pos = 2;
    std::int64_t value = 0;
    const bool negative = line[pos] == '-';
    pos += negative ? 1 : 0;
    const std::size_t digits = pos;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && pos - digits < 10) {
        value = value * 10 + (line[pos++] - '0');
    }
    if (pos == digits || line.compare(pos, 3, " | ") != 0 || pos + 3 > line.size() - 2) {
        return false;
    }
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    code = static_cast<std::int32_t>(value);
    message = line.substr(pos + 3, line.size() - 2 - (pos + 3));
    return !message.empty();
}

StatusCodeDocument ReadStatusCodeDocument() {
    StatusCodeDocument document;
    if (SourceDirectory == nullptr) {
        return document;
    }
    // A Unix path works under Wine too: without a drive letter it resolves on the current
    // drive, Z:, which maps the Unix root.
    const std::string path = std::string(SourceDirectory) + "/docs/status-codes.md";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return document;
    }
    std::string text;
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, count);
    }
    std::fclose(file);
    document.opened = true;

    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] != '|' || IsTableFrame(line)) {
            continue;
        }
        std::int32_t code = 0;
        std::string message;
        if (!ParseRow(line, code, message)) {
            document.problems.push_back("malformed row: " + line);
        } else if (!document.rows.emplace(code, message).second) {
            document.problems.push_back("code listed twice: " + line);
        }
    }
    return document;
}

const StatusCodeDocument& Document() {
    static const StatusCodeDocument document = ReadStatusCodeDocument();
    return document;
}

// The error text of a code as vtoGetErrorText gives it, in UTF-8.
std::string ErrorText(std::int32_t code) {
    WString text;
    TheExtender->FormatErrorText(code, text);
    return zekhost::Utf16ToUtf8(text);
}

} // namespace

TEST(StatusCodeDocument, IsFoundAndWellFormed) {
    ASSERT_NE(SourceDirectory, nullptr) << "built without ZEK_SOURCE_DIR, the source directory";
    ASSERT_TRUE(Document().opened) << "cannot open " << SourceDirectory << "/docs/status-codes.md";
    for (const std::string& problem : Document().problems) {
        ADD_FAILURE() << problem;
    }
}

TEST(StatusCodeDocument, EveryRowReadsAsScriptsReceiveIt) {
    ASSERT_FALSE(Document().rows.empty());
    const std::string shortName = zekhost::Utf16ToUtf8(TheExtender->ShortName());
    for (const auto& [code, message] : Document().rows) {
        SCOPED_TRACE(code);
        // A code without a message of the extender's has an empty error text.
        EXPECT_EQ(ErrorText(code), std::to_string(code) + ": " + shortName + ": " + message);
    }
}

TEST(StatusCodeDocument, EveryCodeWithAMessageIsListed) {
    ASSERT_FALSE(Document().rows.empty());
    std::map<std::int32_t, WString> messages = FrameworkMessages::Of(*TheExtender);
    messages.insert(StatusCatalogue.begin(), StatusCatalogue.end());
    for (const auto& [code, message] : messages) {
        SCOPED_TRACE(code);
        const auto row = Document().rows.find(code);
        if (row == Document().rows.end()) {
            ADD_FAILURE() << "missing from docs/status-codes.md";
            continue;
        }
        EXPECT_EQ(row->second, zekhost::Utf16ToUtf8(message));
    }
    EXPECT_EQ(Document().rows.size(), messages.size());
}
