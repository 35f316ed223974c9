// The reference host's own checks, which every scenario relies on: its array services refuse
// bad requests, the transcript reports what an extender got wrong, the stand-in's check is
// reported, and the transcript diff names the first differing line.
#include "host/Handshake.h"
#include "host/HostStorage.h"
#include "host/ScriptRunner.h"
#include "host/StandinChannel.h"
#include "host/TranscriptDiff.h"
#include "host/ValueFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

using namespace zekhost;
using zekextender::HostValue;

namespace {

struct LineCase {
    const char* line;
    const char* expected;
};

} // namespace

TEST(ZekHostScript, ArrayServicesRefuseBadRequests) {
    struct Case {
        const char* name;
        std::uint32_t valueSize;
        bool dimensions;
        std::uint32_t dimensionsSize;
        std::uint32_t extent;
        bool injected;
        std::int32_t expected;
    };
    constexpr Case cases[] = {
        {"good", 56, true, 20, 3, false, ServiceOk},
        {"empty array", 56, true, 20, 0, false, ServiceOk},
        {"no dimensions", 56, false, 20, 3, false, ServiceRejected},
        {"short dimensions", 56, true, 19, 3, false, ServiceRejected},
        {"short value", 55, true, 20, 3, false, ServiceRejected},
        {"huge extent", 56, true, 20, 0xFFFFFFFF, false, ServiceRejected},
        {"told to fail", 56, true, 20, 3, true, ServiceInjectedFailure},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HostStorage storage;
        zekextender::HostServices services{};
        storage.Install(services);
        if (c.injected) {
            storage.FailArrayCreate();
        }
        HostValue value{};
        zekextender::ArrayDimensions dimensions{{c.extent, 0, 0, 0, 0}};
        EXPECT_EQ(services.arrayService(services.context, &value, c.valueSize,
                                        c.dimensions ? &dimensions : nullptr, c.dimensionsSize,
                                        zekextender::ArrayCreate),
                  c.expected);
        EXPECT_EQ(value.type, c.expected == ServiceOk ? 0x100u : 0u);
        EXPECT_EQ(storage.LeakedArrays(), c.expected == ServiceOk ? 1 : 0);
    }
}

TEST(ZekHostScript, ElementStoreIsBoundsChecked) {
    struct Case {
        std::int32_t subscripts[5];
        std::uint32_t valueSize;
        std::int32_t expected;
    };
    constexpr Case cases[] = {
        {{0, 0, 0, 0, 0}, 56, ServiceOk},       {{2, 0, 0, 0, 0}, 56, ServiceOk},
        {{3, 0, 0, 0, 0}, 56, ServiceRejected}, {{-1, 0, 0, 0, 0}, 56, ServiceRejected},
        {{0, 1, 0, 0, 0}, 56, ServiceRejected}, {{0, 0, 0, 0, 1}, 56, ServiceRejected},
        {{1, 0, 0, 0, 0}, 57, ServiceRejected}, {{4, 0, 0, 0, 0}, 56, ServiceInjectedFailure},
    };
    HostStorage storage;
    zekextender::HostServices services{};
    storage.Install(services);
    storage.FailArrayElement(4);
    HostValue array{};
    zekextender::ArrayDimensions dimensions{{3, 0, 0, 0, 0}};
    ASSERT_EQ(services.arrayService(services.context, &array, 56, &dimensions, 20, 2), 0);
    WCHAR text[] = {'e', 0};
    HostValue element{};
    element.type = 0x80;
    element.text = text;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.subscripts[0] << "," << c.subscripts[1] << " size " << c.valueSize);
        const std::int32_t* s = c.subscripts;
        EXPECT_EQ(services.arrayElementService(services.context, &array, s[0], s[1], s[2], s[3],
                                               s[4], &element, c.valueSize, 2),
                  c.expected);
    }
    // The stored element is the host's own copy.
    text[0] = 'X';
    OwnedValue held;
    held.type = 0x100;
    held.integer = array.intValue;
    EXPECT_EQ(FormatValue(held, storage), "array[3] {wide \"e\", empty, wide \"e\"}");

    // A second release, or the release of a value that never was an array, is
    // reported.
    EXPECT_EQ(services.arrayService(services.context, &array, 56, nullptr, 0, 4), 0);
    EXPECT_EQ(services.arrayService(services.context, &array, 56, nullptr, 0, 4), ServiceRejected);
    HostValue nothing{};
    EXPECT_EQ(services.arrayService(services.context, &nothing, 56, nullptr, 0, 4),
              ServiceRejected);
    EXPECT_EQ(storage.TakeBadReleases(), 2);
    EXPECT_EQ(storage.LeakedArrays(), 0);
    EXPECT_EQ(FormatValue(held, storage), "array (released)");
}

namespace {

// An in-process extender. Functions: 0 echo(v), 1 twice(), 2 pair(), 3
// silent(), 4 leak(), 5 rogue(); the definition of rogue declares the wrong
// name length.
constexpr const char16_t* FakeNames[] = {u"echo", u"twice", u"pair", u"silent", u"leak", u"Rogue"};
constexpr std::uint32_t FakeCount = 6;

void CopyText(const char16_t* text, WCHAR* buffer) {
    do {
        *buffer++ = static_cast<WCHAR>(*text);
    } while (*text++ != 0);
}

std::int32_t FakeQuery(std::int16_t code, INT_PTR first, INT_PTR second) {
    if (code == 2) {
        const auto* offered = reinterpret_cast<const std::uint32_t*>(first);
        return std::find(offered, offered + second, 5u) != offered + second ? 5 : -1;
    }
    if (code == 1) {
        CopyText(u"Fake \u00e9", reinterpret_cast<WCHAR*>(first));
        return 7;
    }
    return 0;
}

std::int32_t FakeCall(INT_PTR, INT_PTR, std::uint32_t cookie, std::int16_t id,
                      zekextender::ReturnCallback callback, zekextender::HostServices* services,
                      INT_PTR, void* data, std::uint32_t index, HostValue* result) {
    const auto deliver = [&](const HostValue& value) {
        std::memcpy(result, &value, offsetof(HostValue, hostReserved));
        return callback(0, cookie, services, result);
    };
    HostValue value{};
    value.type = 1;
    zekextender::ArrayDimensions dimensions{{2, 0, 0, 0, 0}};
    switch (id) {
    case -1:
        if (services->interfaceVersion < 1005) {
            CopyText(u"Too old", static_cast<WCHAR*>(data));
            return -1;
        }
        return FakeCount;
    case -2: {
        if (index >= FakeCount) {
            return 0;
        }
        auto* definition = static_cast<zekextender::FunctionDefinition*>(data);
        definition->id = index;
        definition->parameterCount = index == 0 ? 1 : 0;
        definition->parameterTypes = index == 0 ? 0x5 : 0;
        CopyText(FakeNames[index], definition->name);
        definition->nameLength =
            index == 5
                ? 9
                : static_cast<std::uint16_t>(std::char_traits<char16_t>::length(FakeNames[index]));
        return 1;
    }
    case -3:
        return 1;
    case 0:
        return deliver(static_cast<const HostValue*>(data)[0]);
    case 1:
        deliver(value);
        return deliver(value) + 1;
    case 2:
    case 4: {
        HostValue array{};
        services->arrayService(services->context, &array, 56, &dimensions, 20, 2);
        return deliver(id == 2 ? array : value);
    }
    case 5:
        result->type = 1;
        result->hostReserved = nullptr;
        return callback(0, cookie + 1, nullptr, result);
    default:
        return 3;
    }
}

constexpr ExtenderApi Fake = {&FakeQuery, &FakeCall};

} // namespace

TEST(ZekHostScript, HandshakeListsWhatTheExtenderDeclares) {
    struct Case {
        std::uint32_t hostVersion;
        std::vector<std::uint32_t> offered;
        const char* expected;
    };
    const Case cases[] = {
        {1005,
         {4, 5},
         "description: Fake \\u00E9\nversion: 7\ninterface: 5\nfunctions: 6\n"
         "  0 echo 1 0x5 (string)\n  1 twice 0 0x0 ()\n  2 pair 0 0x0 ()\n"
         "  3 silent 0 0x0 ()\n  4 leak 0 0x0 ()\n  5 Rogue 0 0x0 () !! name "
         "length 9\n"},
        {1004,
         {},
         "description: Fake \\u00E9\nversion: 7\ninterface: -1\nfunctions: -1 "
         "\"Too old\"\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hostVersion);
        HostSession session(Fake, c.hostVersion);
        EXPECT_EQ(FormatHandshake(PerformHandshake(session, c.offered)), c.expected);
    }
    EXPECT_EQ(FormatParameterTypes(0x5F0, 4), "(integer, type 15, string, integer)");
}

TEST(ZekHostScript, TranscriptReportsWhatCameBack) {
    constexpr LineCase cases[] = {
        {"Echo(\"a\")", "> Echo(\"a\")\nwide \"a\"\n"},
        {"twice()", "> twice()\nint 0\nint 0\n!! 2 results delivered\n!! "
                    "returned 1, callback "
                    "returned 0\n"},
        {"@callback-return 7\necho(1)\nsilent()",
         "> @callback-return 7\n> echo(1)\nint 1\n> silent()\nno result "
         "(returned 3)\n"},
        // An array kept in a variable and passed back stays the host's; no leak.
        {"p = pair()\necho(p)\np = echo(1)\necho(p)",
         "> p = pair()\narray[2] {empty, empty}\n> echo(p)\narray[2] {empty, "
         "empty}\n"
         "> p = echo(1)\nint 1\n> echo(p)\nint 1\n"},
        {"leak()\nleak()", "> leak()\nint 0\n> leak()\nint 0\n!! 2 arrays leaked\n"},
        // Handshake calls took cookies 1 to 7.
        {"rogue()", "> rogue()\nint 0\n!! call cookie 9, expected 8\n!! result "
                    "delivered with "
                    "another services table\n!! host field of the result record "
                    "overwritten\n"},
        {"echo(1, 2)\nnope()\necho(v)\n\n# skipped\n@x",
         "> echo(1, 2)\nsyntax error: echo takes 1 argument, not 2\n> "
         "nope()\nsyntax error: "
         "unknown function nope\n> echo(v)\nsyntax error: unknown variable v\n> "
         "@x\nsyntax "
         "error: unknown directive @x\n"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        HostSession session(Fake, 1005);
        const HandshakeResult handshake = PerformHandshake(session, {5});
        bool hadErrors = false;
        EXPECT_EQ(RunScript(c.line, session, handshake, hadErrors), c.expected);
        EXPECT_EQ(hadErrors, std::string(c.expected).find("syntax error") != std::string::npos);
    }
}

namespace {

// A stand-in whose check answers as told and remembers what it was asked.
class FakeStandin : public StandinChannel {
public:
    bool Send(const std::string& command, std::int32_t& status, std::string& reply) override {
        commands += command + "|";
        status = leaked ? 3 : 0;
        reply = checkReply;
        return available;
    }
    std::string commands;
    std::string checkReply = "balanced";
    bool leaked = false;
    bool available = true;
};

} // namespace

// The check speaks up only when the stand-in refuses it.
TEST(ZekHostScript, StandinCheckReportsWhatWasLeft) {
    FakeStandin standin;
    EXPECT_EQ(CheckStandin(standin), "");
    EXPECT_EQ(standin.commands, "check|");
    standin.leaked = true;
    standin.checkReply = "2 COM references live\n1 allocation live";
    EXPECT_EQ(CheckStandin(standin), "!! 2 COM references live\\x0A1 allocation live\n");
    standin.available = false;
    EXPECT_EQ(CheckStandin(standin), "");
}

TEST(ZekHostScript, ReportsTheFirstDifferingLine) {
    struct Case {
        const char* expected;
        const char* actual;
        std::size_t line; // 0: equal
        const char* expectedLine;
        const char* actualLine;
    };
    constexpr Case cases[] = {
        {"a\nb\n", "a\nb\n", 0, "", ""},
        {"a\nb\n", "a\nc\n", 2, "b", "c"},
        {"a\nb\n", "a\n", 2, "b", "<end of file>"},
        {"a\n", "a\nb\n", 2, "<end of file>", "b"},
        {"a\nb", "a\nb\n", 2, "b<no newline at end>", "b"},
        {"a\r\n", "a\n", 1, "a<CR>", "a"},
        // Leading '#' lines of the expected transcript say what it depends on.
        {"# note\n# more\na\n", "a\n", 0, "", ""},
        {"# note\na\n", "# note\na\n", 1, "a", "# note"},
        {"a\n# not a header\n", "a\n", 2, "# not a header", "<end of file>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.actual);
        const TranscriptDifference difference = CompareTranscripts(c.expected, c.actual);
        EXPECT_EQ(difference.differs, c.line != 0);
        EXPECT_EQ(difference.line, c.line);
        EXPECT_EQ(difference.expected, c.expectedLine);
        EXPECT_EQ(difference.actual, c.actualLine);
    }
}
