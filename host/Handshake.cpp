#include "host/Handshake.h"

#include "host/CallReport.h"
#include "host/Utf.h"
#include "host/ValueFormat.h"

#include <cstring>

namespace zekhost {
namespace {

// Room for the description and for the refusal text (at least 30 units are promised).
constexpr std::size_t TextBufferSize = 256;

WString TextOf(const WCHAR* buffer, std::size_t capacity) {
    std::size_t length = 0;
    while (length < capacity && buffer[length] != 0) {
        ++length;
    }
    return WString(buffer, length);
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string text) {
    for (char& c : text) {
        c = AsciiLower(c);
    }
    return text;
}

} // namespace

std::int32_t RequestCount(HostSession& session, WString& refusal, std::string& anomalies) {
    WCHAR buffer[TextBufferSize] = {};
    const CallOutcome outcome = session.Send(zekextender::RequestFunctionCount, buffer, 0);
    refusal = TextOf(buffer, TextBufferSize);
    anomalies += ReportAnomalies(outcome, session.Storage());
    return outcome.returned;
}

FunctionInfo RequestDefinition(HostSession& session, std::uint32_t index, std::string& anomalies) {
    zekextender::FunctionDefinition definition;
    std::memset(&definition, 0, sizeof definition);
    const CallOutcome outcome =
        session.Send(zekextender::RequestFunctionDefinition, &definition, index);
    anomalies += ReportAnomalies(outcome, session.Storage());

    FunctionInfo function;
    function.index = index;
    function.returned = outcome.returned;
    function.defined = outcome.returned != 0;
    function.id = definition.id;
    function.parameterTypes = definition.parameterTypes;
    function.parameterCount = definition.parameterCount;
    function.nameLength = definition.nameLength;
    function.name = TextOf(definition.name, zekextender::FunctionNameCapacity);
    function.nameTerminated = function.name.size() < zekextender::FunctionNameCapacity;
    return function;
}

HandshakeResult PerformHandshake(HostSession& session, const std::vector<std::uint32_t>& offered) {
    HandshakeResult handshake;
    handshake.interfaceVersion =
        session.Query(zekextender::QueryInterfaceVersion, reinterpret_cast<INT_PTR>(offered.data()),
                      static_cast<INT_PTR>(offered.size()));

    WCHAR description[TextBufferSize] = {};
    handshake.version = static_cast<std::uint32_t>(
        session.Query(zekextender::QueryExtenderInfo, reinterpret_cast<INT_PTR>(description),
                      static_cast<INT_PTR>(TextBufferSize)));
    handshake.description = TextOf(description, TextBufferSize);

    handshake.functionCount = RequestCount(session, handshake.refusal, handshake.anomalies);
    if (handshake.functionCount > MaximumFunctionCount) {
        handshake.anomalies += "!! function count " + std::to_string(handshake.functionCount) +
                               ", asking for the first " + std::to_string(MaximumFunctionCount) +
                               "\n";
    }
    for (std::int32_t i = 0; i < handshake.functionCount && i < MaximumFunctionCount; ++i) {
        handshake.functions.push_back(
            RequestDefinition(session, static_cast<std::uint32_t>(i), handshake.anomalies));
    }
    return handshake;
}

std::string FormatParameterTypes(std::uint64_t types, std::uint32_t count) {
    std::string out = "(";
    for (std::uint32_t i = 0; i < count; ++i) {
        out += i == 0 ? "" : ", ";
        if (i >= 16) {
            out += "...";
            break;
        }
        const unsigned nibble = static_cast<unsigned>((types >> (4 * i)) & 0xF);
        out += nibble == 0 ? "integer" : nibble == 5 ? "string" : "type " + std::to_string(nibble);
    }
    return out + ")";
}

std::string FormatFunction(const FunctionInfo& function) {
    if (!function.defined) {
        return "definition " + std::to_string(function.index) + ": " +
               std::to_string(function.returned);
    }
    std::string line = std::to_string(function.id) + " " + EscapeWide(function.name) + " " +
                       std::to_string(function.parameterCount) + " " +
                       Hex(function.parameterTypes) + " " +
                       FormatParameterTypes(function.parameterTypes, function.parameterCount);
    if (!function.nameTerminated) {
        line += " !! name not terminated";
    } else if (function.nameLength != function.name.size()) {
        line += " !! name length " + std::to_string(function.nameLength);
    }
    return line;
}

std::string FormatHandshake(const HandshakeResult& handshake) {
    std::string out = "description: " + EscapeWide(handshake.description) + "\n";
    out += "version: " + std::to_string(handshake.version) + "\n";
    out += "interface: " + std::to_string(handshake.interfaceVersion) + "\n";
    out += "functions: " + std::to_string(handshake.functionCount);
    if (handshake.functionCount == -1) {
        out += " \"" + EscapeWide(handshake.refusal) + "\"";
    }
    out += "\n";
    for (const FunctionInfo& function : handshake.functions) {
        out += "  " + FormatFunction(function) + "\n";
    }
    return out + handshake.anomalies;
}

bool FindFunction(const HandshakeResult& handshake, const std::string& name, std::int16_t& id,
                  std::uint32_t& count) {
    const std::string wanted = AsciiLower(name);
    for (const FunctionInfo& function : handshake.functions) {
        if (function.defined && AsciiLower(Utf16ToUtf8(function.name)) == wanted) {
            id = static_cast<std::int16_t>(function.id);
            count = function.parameterCount;
            return true;
        }
    }
    return false;
}

} // namespace zekhost
