// The reference host: script parsing, value formatting, its array services and
// the transcript of calls against an in-process extender.
#include "host/CommandLine.h"
#include "host/Handshake.h"
#include "host/HostStorage.h"
#include "host/ScriptParser.h"
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

// A statement in one line, for comparing against the tables below.
std::string Summary(const Statement& statement) {
    static const char* const directives[] = {
        "fail-create", "fail-element", "fail-variable", "fail-none",    "callback-return", "count",
        "definition",  "acknowledge",  "query",         "host-version", "standin"};
    switch (statement.kind) {
    case Statement::Kind::Skip:
        return "skip";
    case Statement::Kind::Error:
        return "error";
    case Statement::Kind::Directive:
        return std::string("@") + directives[static_cast<int>(statement.directive.kind)] + " " +
               (statement.directive.kind == DirectiveKind::Standin
                    ? "'" + statement.directive.text + "'"
                    : std::to_string(statement.directive.number));
    case Statement::Kind::Call:
        break;
    }
    const Call& call = statement.call;
    std::string out = call.assignTo.empty() ? "" : call.assignTo + " = ";
    out += call.byId ? "#" + std::to_string(call.id) : call.function;
    out += "(";
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
        const Argument& a = call.arguments[i];
        out += i == 0 ? "" : ", ";
        switch (a.kind) {
        case Argument::Kind::Integer:
            out += "int " + std::to_string(a.integer);
            break;
        case Argument::Kind::Wide:
            out += "wide " + Hex(a.type) + " '" + EscapeWide(a.wide) + "'";
            break;
        case Argument::Kind::Narrow:
            out += "narrow " + Hex(a.type) + " '" + EscapeNarrow(a.narrow) + "'";
            break;
        case Argument::Kind::Float:
            out += "float " + FormatFloat(a.real);
            break;
        case Argument::Kind::NullText:
            out += "nulltext " + Hex(a.type);
            break;
        case Argument::Kind::Typed:
            out += "typed " + Hex(a.type) + " " + std::to_string(a.integer);
            break;
        case Argument::Kind::Empty:
            out += "empty";
            break;
        case Argument::Kind::Variable:
            out += "var " + a.variable;
            break;
        }
    }
    return out + ")";
}

struct LineCase {
    const char* line;
    const char* expected;
};

} // namespace

TEST(ZekHostScript, ParsesCallsAndArguments) {
    constexpr LineCase cases[] = {
        {"", "skip"},
        {"   # a comment", "skip"},
        {"#1 is a comment too", "skip"},
        {"f()", "f()"},
        {"  x = vtoOpenPS(\"C:\\\\a b\", 0)\r", "x = vtoOpenPS(wide 0x80 'C:\\\\a b', int 0)"},
        {"f(1, -2, 0x10, 0xFFFFFFFF, -2147483648)",
         "f(int 1, int -2, int 16, int -1, int -2147483648)"},
        {"f(2147483647)", "f(int 2147483647)"},
        {"f(2147483648)", "error"},
        {"f(0x100000000)", "error"},
        {"f(-0x80000001)", "error"},
        {"f(12ab)", "error"},
        {"#99(1, 2)", "#99(int 1, int 2)"},
        {"r = #0xFFFF()", "r = #-1()"},
        {"#-3 ()", "#-3()"},
        {"#65536()", "error"},
        {"f(\"q\\\"\\t\\r\\n\\x7F\\u00e9\\uD800\")",
         "f(wide 0x80 'q\\\"\\u0009\\u000D\\u000A\\u007F\\u00E9\\uD800')"},
        {"f(\"\xC3\xA9\xF0\x9F\x98\x80\")", "f(wide 0x80 '\\u00E9\\uD83D\\uDE00')"},
        {"f(\"\xC3\")", "error"},
        {"f(\"\xC0\xAF\")", "error"}, // overlong '/'
        {"f(\"\\q\")", "error"},
        {"f(\"\\x4\")", "error"},
        {"f(\"open)", "error"},
        {"f(narrow(\"a\\xE9\\u00FF\xC3\xA9\"))", "f(narrow 0x2 'a\\xE9\\xFF\\xE9')"},
        {"f(narrow(\"\\u0100\"))", "error"},
        {"f(float(1.5), float(-2e-3), float(.5))", "f(float 1.5, float -0.002, float 0.5)"},
        {"f(float(1.5x))", "error"},
        {"f(wide(0x82, \"a\"), nulltext(0x80), typed(3, -5), empty, v)",
         "f(wide 0x82 'a', nulltext 0x80, typed 0x3 -5, empty, var v)"},
        {"f(typed(3))", "error"},
        {"f(bogus(1))", "error"},
        {"empty = f()", "error"},
        {"f(1", "error"},
        {"f(1,)", "error"},
        {"f(1) x", "error"},
        {"= f()", "error"},
        {"f(1 2)", "error"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Summary(ParseLine(c.line)), c.expected);
    }
}

TEST(ZekHostScript, ParsesDirectives) {
    constexpr LineCase cases[] = {
        {"@fail array-create", "@fail-create 0"},
        {"@fail array-element 3", "@fail-element 3"},
        {"@fail variable", "@fail-variable 0"},
        {"@fail none", "@fail-none 0"},
        {"@callback-return -5", "@callback-return -5"},
        {"@count", "@count 0"},
        {"@definition 14", "@definition 14"},
        {"@definition -1", "@definition 4294967295"},
        {"@acknowledge", "@acknowledge 0"},
        {"@query 0xFFFF", "@query -1"},
        {"@host-version 1004", "@host-version 1004"},
        {"@host-version -1", "error"},
        {"@fail", "error"},
        {"@fail array-element", "error"},
        {"@fail everything", "error"},
        {"@count 1", "error"},
        {"@query", "error"},
        {"@query 70000", "error"},
        {"@definition x", "error"},
        {"@bogus", "error"},
        {"@", "error"},
        {"@standin item add \"a b\"  x=1 ", "@standin 'item add \"a b\"  x=1'"},
        {"@ standin\tcheck", "@standin 'check'"},
        {"@standin", "error"},
        {"@standin \t ", "error"},
        {"@standincheck", "error"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Summary(ParseLine(c.line)), c.expected);
    }
}

TEST(ZekHostScript, FormatsValues) {
    HostStorage storage;
    const auto wide = [](std::uint32_t type, const char16_t* text) {
        OwnedValue value;
        value.type = type;
        value.text = OwnedValue::Text::Wide;
        value.nullText = text == nullptr;
        for (; text != nullptr && *text != 0; ++text) {
            value.wide.push_back(static_cast<WCHAR>(*text));
        }
        return value;
    };
    OwnedValue narrow;
    narrow.type = 2;
    narrow.text = OwnedValue::Text::Narrow;
    narrow.nullText = false;
    narrow.narrow = "9: \xE9\x01\"\\";
    OwnedValue integer;
    integer.type = 1;
    integer.integer = -42;
    OwnedValue block;
    block.type = 0x200;
    for (std::size_t i = 0; i < block.block.size(); ++i) {
        block.block[i] = static_cast<std::uint8_t>(i * 11);
    }
    const auto real = [](double number) {
        OwnedValue value;
        value.type = 0x20;
        value.real = number;
        return value;
    };
    OwnedValue other;
    other.type = 0x400;

    const struct {
        OwnedValue value;
        const char* expected;
    } cases[] = {
        {OwnedValue{}, "empty"},
        {integer, "int -42"},
        {wide(0x80, u"a\"b\\c\u00e9\n\U0001F600~ "),
         "wide \"a\\\"b\\\\c\\u00E9\\u000A\\uD83D\\uDE00~ \""},
        {wide(0x80, nullptr), "wide null"},
        {wide(0x82, u"x"), "type 0x82"},
        {narrow, "narrow \"9: \\xE9\\x01\\\"\\\\\""},
        {real(1.5), "float 1.5"},
        {real(0.1), "float 0.10000000000000001"},
        {real(-1e300 * 1e300), "float -inf"},
        {block, "block 000b16212c37424d58636e79848f9aa5b0bbc6d1dce7f2fd"},
        {other, "type 0x400"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FormatValue(c.value, storage), c.expected);
    }
}

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
        {"#0(nulltext(0x80))\n#9()", "> #0(nulltext(0x80))\nwide null\n> #9()\nno result "
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
        {"@count\n@host-version 1004\n@count\n@definition 1\n@definition "
         "6\n@acknowledge\n"
         "@query 2\n@query 3",
         "> @count\ncount 6\n> @host-version 1004\n> @count\ncount -1 \"Too "
         "old\"\n"
         "> @definition 1\ndefinition 1: 1 twice 0 0x0 ()\n> @definition "
         "6\ndefinition 6: 0\n"
         "> @acknowledge\nreturned 1\n> @query 2\nreturned -1\n> @query "
         "3\nreturned 0\n"},
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

// A stand-in that answers from a script of its own and remembers what it was asked.
class FakeStandin : public StandinChannel {
public:
    bool Send(const std::string& command, std::int32_t& status, std::string& reply) override {
        commands += command + "|";
        status = command.compare(0, 6, "refuse") == 0 || (command == "check" && leaked) ? 3 : 0;
        reply = command == "check" ? checkReply : "did " + command;
        if (command == "multi") {
            reply = "a\nb\x7f\xC3\xA9";
        }
        return available;
    }
    std::string commands;
    std::string checkReply = "balanced";
    bool leaked = false;
    bool available = true;
};

} // namespace

TEST(ZekHostScript, StandinDirectivesReachTheStandin) {
    constexpr LineCase cases[] = {
        {"@standin item add  x=1", "> @standin item add  x=1\nstandin: did item add  x=1\n"},
        {"@standin refuse this", "> @standin refuse this\nstandin refused: did refuse this\n"},
        {"@standin multi", "> @standin multi\nstandin: a\\x0Ab\\x7F\xC3\xA9\n"},
        {"@standin", "> @standin\nsyntax error: @standin takes a command\n"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        HostSession session(Fake, 1005);
        const HandshakeResult handshake = PerformHandshake(session, {5});
        bool hadErrors = false;
        FakeStandin standin;
        EXPECT_EQ(RunScript(c.line, session, handshake, hadErrors, &standin), c.expected);
        // Without a stand-in, the directive is answered all the same.
        const std::string withoutStandin = RunScript(c.line, session, handshake, hadErrors);
        EXPECT_EQ(withoutStandin.find("standin:"), std::string::npos);
        EXPECT_EQ(withoutStandin.find("standin unavailable") != std::string::npos, !hadErrors);
    }

    // The check speaks up only when the stand-in refuses it.
    FakeStandin standin;
    EXPECT_EQ(CheckStandin(standin), "");
    EXPECT_EQ(standin.commands, "check|");
    standin.leaked = true;
    standin.checkReply = "2 COM references live\n1 allocation live";
    EXPECT_EQ(CheckStandin(standin), "!! 2 COM references live\\x0A1 allocation live\n");
    standin.available = false;
    EXPECT_EQ(CheckStandin(standin), "");
}

TEST(ZekHostScript, VariableServiceStoresCopies) {
    HostStorage storage;
    zekextender::HostServices services{};
    storage.Install(services);
    int key = 0;
    WCHAR text[] = {'v', 0};
    HostValue value{};
    value.type = 0x80;
    value.text = text;
    ASSERT_EQ(services.variableService(services.context, &key, &value, 56, VariableStore), 0);
    text[0] = 'X';
    HostValue fetched{};
    ASSERT_EQ(services.variableService(services.context, &key, &fetched, 56, VariableFetch), 0);
    EXPECT_EQ(FormatValue(OwnedValue::Capture(fetched), storage), "wide \"v\"");

    int other = 0;
    EXPECT_EQ(services.variableService(services.context, &other, &fetched, 56, VariableFetch),
              ServiceRejected);
    EXPECT_EQ(services.variableService(services.context, &key, &fetched, 56, 9), ServiceRejected);
    storage.FailVariable();
    EXPECT_EQ(services.variableService(services.context, &key, &fetched, 56, VariableFetch),
              ServiceInjectedFailure);
    storage.ClearFailures();
    EXPECT_EQ(services.variableService(services.context, &key, &fetched, 56, VariableFetch), 0);
}

TEST(ZekHostScript, ParsesTheCommandLine) {
    struct Case {
        std::vector<std::string> arguments;
        const char* expected; // extender|version|offered|expect|info|script[|check], or "error"
    };
    const Case cases[] = {
        {{"--info"}, "|1005|5,||info|"},
        {{"s.zek"}, "|1005|5,|||s.zek"},
        {{"--extender", "x.dll", "--host-version", "0x3EC", "--offer", "4,5,6", "--expect", "e.txt",
          "s.zek"},
         "x.dll|1004|4,5,6,|e.txt||s.zek"},
        {{"--offer=", "--extender=a=b", "--info"}, "a=b|1005|||info|"},
        {{"--offer", "4,,5", "--info"}, "error"},
        {{"--host-version", "-1", "--info"}, "error"},
        {{"--host-version"}, "error"},
        {{"--info", "s.zek"}, "error"},
        {{}, "error"},
        {{"a.zek", "b.zek"}, "error"},
        {{"--verbose", "s.zek"}, "error"},
        {{"--standin-check", "s.zek"}, "|1005|5,|||s.zek|check"},
        {{"--standin-check=1", "s.zek"}, "error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Options options;
        std::string error;
        std::string summary = "error";
        if (ParseCommandLine(c.arguments, options, error)) {
            summary = options.extender + "|" + std::to_string(options.hostVersion) + "|";
            for (const std::uint32_t version : options.offered) {
                summary += std::to_string(version) + ",";
            }
            summary +=
                "|" + options.expect + "|" + (options.info ? "info" : "") + "|" + options.script;
            summary += options.standinCheck ? "|check" : "";
        } else {
            EXPECT_FALSE(error.empty());
        }
        EXPECT_EQ(summary, c.expected);
    }
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
