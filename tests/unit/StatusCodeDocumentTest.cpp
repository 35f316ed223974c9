// docs/status-codes.md is what script authors read about status codes: it must list every
// code the extender has a message for, with exactly the words scripts receive, and no other;
// and which Windows errors lead to each code, as the extender translates them.
#include "status/NativeErrorTranslation.h"
#include "status/StatusCatalogue.h"

#include "extender/ZEKExtender.h"
#include "host/Utf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
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

using NativeError = std::pair<ErrorSource, std::uint32_t>;

struct StatusCodeDocument {
    bool opened = false;
    std::map<std::int32_t, std::string> rows;         // code → message, UTF-8
    std::map<NativeError, std::int32_t> nativeErrors; // Windows error → the code it leads to
    std::vector<std::string> problems;                // malformed rows and repeated entries
};

constexpr const char* MessageTableHeading = "| Code | Message |";
constexpr const char* NativeErrorTableHeading = "| Code | Windows errors |";

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

bool ParseNumber(const std::string& text, std::uint32_t& value) {
    const bool hex = text.compare(0, 2, "0x") == 0;
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > (hex ? 8u : 10u) ||
        digits.find_first_not_of(hex ? "0123456789ABCDEF" : "0123456789") != std::string::npos) {
        return false;
    }
    const unsigned long long number = std::stoull(digits, nullptr, hex ? 16 : 10);
    value = static_cast<std::uint32_t>(number);
    return number <= UINT32_MAX;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;) {
        parts.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

// "| CODE | KIND VALUE, FIRST–LAST, ...; KIND ... |" into the document's native errors.
bool ParseNativeErrorRow(const std::string& line, StatusCodeDocument& document) {
    static const std::map<std::string, ErrorSource> kinds = {
        {"Win32", ErrorSource::Win32Error}, {"network", ErrorSource::NetApiStatus},
        {"HRESULT", ErrorSource::HResult},  {"NTSTATUS", ErrorSource::NtStatusTable},
        {"errno", ErrorSource::CrtErrno},
    };
    std::int32_t code = 0;
    std::string errors;
    if (!ParseRow(line, code, errors)) {
        return false;
    }
    for (const std::string& group : Split(errors, "; ")) {
        const std::size_t blank = group.find(' ');
        const auto kind = kinds.find(group.substr(0, blank));
        if (blank == std::string::npos || kind == kinds.end()) {
            return false;
        }
        for (const std::string& item : Split(group.substr(blank + 1), ", ")) {
            const std::vector<std::string> ends = Split(item, "\xE2\x80\x93"); // an en dash, UTF-8
            std::uint32_t first = 0;
            std::uint32_t last = 0;
            if (ends.size() > 2 || !ParseNumber(ends.front(), first) ||
                !ParseNumber(ends.back(), last) || last < first || last - first > 0xFFFF) {
                return false;
            }
            for (std::uint64_t value = first; value <= last; ++value) {
                const NativeError error{kind->second, static_cast<std::uint32_t>(value)};
                if (!document.nativeErrors.emplace(error, code).second) {
                    document.problems.push_back("error listed twice: " + item + " in " + line);
                }
            }
        }
    }
    return true;
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

    std::string heading; // of the table the line belongs to
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
        if (line.empty() || line[0] != '|') {
            heading.clear();
            continue;
        }
        if (heading.empty()) {
            heading = line;
            if (heading != MessageTableHeading && heading != NativeErrorTableHeading) {
                document.problems.push_back("unknown table: " + line);
            }
            continue;
        }
        if (line.find_first_not_of("|-: ") == std::string::npos) {
            continue; // the separator under the heading
        }
        if (heading == NativeErrorTableHeading) {
            if (!ParseNativeErrorRow(line, document)) {
                document.problems.push_back("malformed row: " + line);
            }
            continue;
        }
        if (heading != MessageTableHeading) {
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

namespace {

// A Win32 or network error is checked without the look-up in the other list, so that it
// stands in the list the document names.
std::int32_t Translate(const NativeError& error) {
    return TranslateNativeError(error.first, error.second, true);
}

// What an HRESULT the translation tables do not list gives: the sign and facility rules.
std::int32_t UnlistedHResultCode(std::uint32_t hr) {
    if (hr < 0x80000000u) {
        return StatusSuccess;
    }
    switch (hr >> 16) {
    case 0x8005:
        return StatusDirectoryServiceUnknown;
    case 0x8007: {
        const std::int32_t code = StatusFromWin32Error(hr & 0xFFFFu);
        return code == StatusSuccess ? StatusUnspecified : code;
    }
    default:
        return StatusUnspecified;
    }
}

} // namespace

TEST(StatusCodeDocument, EveryListedWindowsErrorLeadsToItsCode) {
    ASSERT_GT(Document().nativeErrors.size(), 400u);
    for (const auto& [error, code] : Document().nativeErrors) {
        SCOPED_TRACE(::testing::Message() << "kind " << static_cast<std::uint32_t>(error.first)
                                          << ", error 0x" << std::hex << error.second);
        EXPECT_EQ(Translate(error), code);
    }
}

// Every error the translation tables name is in the document: each value that gives another
// code than an unlisted one would. HRESULTs and NTSTATUS values are searched in each block of
// 65536 that the document or the HRESULT rules name.
TEST(StatusCodeDocument, EveryWindowsErrorTranslatedIsListed) {
    ASSERT_FALSE(Document().nativeErrors.empty());
    std::set<std::uint32_t> hresultBlocks = {0x0000, 0x8005, 0x8007};
    std::set<std::uint32_t> ntStatusBlocks = {0x0000};
    for (const auto& [error, code] : Document().nativeErrors) {
        if (error.first == ErrorSource::HResult) {
            hresultBlocks.insert(error.second >> 16);
        } else if (error.first == ErrorSource::NtStatusTable) {
            ntStatusBlocks.insert(error.second >> 16);
        }
    }
    int unlisted = 0;
    const auto expectListed = [&](ErrorSource source, std::uint32_t value, std::int32_t fallback) {
        const std::int32_t code = TranslateNativeError(source, value, true);
        if (code != fallback && Document().nativeErrors.count({source, value}) == 0 &&
            ++unlisted <= 20) {
            ADD_FAILURE() << "kind " << static_cast<std::uint32_t>(source) << ", error 0x"
                          << std::hex << value << std::dec << " gives " << code
                          << " but is not in docs/status-codes.md";
        }
    };
    for (std::uint32_t value = 0; value <= 0xFFFF; ++value) {
        expectListed(ErrorSource::Win32Error, value, StatusOsFunctionFailed);
        expectListed(ErrorSource::NetApiStatus, value, StatusOsFunctionFailed);
        expectListed(ErrorSource::CrtErrno, value, StatusUnspecified);
    }
    for (std::uint32_t block : ntStatusBlocks) {
        for (std::uint32_t low = 0; low <= 0xFFFF; ++low) {
            expectListed(ErrorSource::NtStatusTable, block << 16 | low, StatusOsFunctionFailed);
        }
    }
    for (std::uint32_t block : hresultBlocks) {
        for (std::uint32_t low = 0; low <= 0xFFFF; ++low) {
            const std::uint32_t hr = block << 16 | low;
            expectListed(ErrorSource::HResult, hr, UnlistedHResultCode(hr));
        }
    }
    EXPECT_EQ(unlisted, 0);
}
