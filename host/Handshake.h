// The handshake, as the host performs it before a script runs: query 2 with the offered
// interface versions, query 1 for description and version number, the function count
// (0xFFFF, which applies the host version gate) and the definition of every function
// (0xFFFE).
#pragma once

#include "host/HostSession.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zekhost {

struct FunctionInfo {
    bool defined = false; // the definition request answered nonzero
    std::int32_t returned = 0;
    std::uint32_t index = 0; // what was asked for
    std::uint32_t id = 0;
    std::uint64_t parameterTypes = 0;
    std::uint32_t parameterCount = 0;
    std::uint16_t nameLength = 0;
    WString name;
    bool nameTerminated = true; // a terminator within the record's name field
};

struct HandshakeResult {
    std::int32_t interfaceVersion = 0;
    std::uint32_t version = 0;
    WString description;
    std::int32_t functionCount = 0;
    WString refusal; // the text left in the count request's buffer
    std::vector<FunctionInfo> functions;
    std::string anomalies; // "!!" lines of the special requests
};

// More definitions than any extender declares; the rest are not asked for.
constexpr std::int32_t MaximumFunctionCount = 4096;

HandshakeResult PerformHandshake(HostSession& session, const std::vector<std::uint32_t>& offered);

// Special request 0xFFFF alone: the count and the buffer's text.
std::int32_t RequestCount(HostSession& session, WString& refusal, std::string& anomalies);

// Special request 0xFFFE for one index.
FunctionInfo RequestDefinition(HostSession& session, std::uint32_t index, std::string& anomalies);

// "1 vtoopenps 2 0x5 (string, integer)", or "definition N: 0" when refused.
std::string FormatFunction(const FunctionInfo& function);

// "(string, integer)": one nibble per parameter, 0 integer, 5 string.
std::string FormatParameterTypes(std::uint64_t types, std::uint32_t count);

// The --info text.
std::string FormatHandshake(const HandshakeResult& handshake);

// The function id that a script name calls (names compare case-insensitively); false when
// the extender declared no such function. count is the declared parameter count.
bool FindFunction(const HandshakeResult& handshake, const std::string& name, std::int16_t& id,
                  std::uint32_t& count);

} // namespace zekhost
