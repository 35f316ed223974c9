// What both fuzz targets share: the extender linked in, reached through its exports by the
// reference host's session, with every call checked at the boundary; the stand-in property
// system behind it, reached through its control export.
#pragma once

#include "host/Handshake.h"
#include "host/HostSession.h"
#include "host/StandinChannel.h"

#include <cstdint>
#include <string>

namespace zekfuzz {

// Stops the run with a finding: the message and what led to it go to stderr.
[[noreturn]] void Fail(const std::string& message, const std::string& context = {});

// The stand-in library the extender bound, through ZekStandinControl.
class Standin : public zekhost::StandinChannel {
public:
    bool Send(const std::string& command, std::int32_t& status, std::string& reply) override;

    // Runs a command that must be carried out; a refusal is a finding.
    std::string Must(const std::string& command);
};

Standin& TheStandin();

// The extender's entry points, wrapped: an exception that leaves either export and a second
// result delivered within one call are findings on the spot.
const zekhost::ExtenderApi& CheckedApi();

// Deliveries during the latest ZEKExtender2W call.
int DeliveriesOfLastCall();

// Every store handle the extender issued since the last ForgetIssuedHandles.
std::uint32_t HighestIssuedHandle();
void ForgetIssuedHandles();

// The handshake, done once.
const zekhost::HandshakeResult& Handshake();

// The function ids of the handshake, by name (as the extender declares them).
std::int16_t FunctionId(const char* name);
// Number of functions the extender declares.
std::int32_t FunctionCount();

// Ends an input: closes every handle the extender may still hold, checks that the registry is
// empty and the stand-in's accounts balance, then resets the stand-in and drops its shells.
void EndInput(zekhost::HostSession& session);

// A call with the given arguments; arguments beyond those given read as empty records.
zekhost::CallOutcome CallFunction(zekhost::HostSession& session, std::int16_t id,
                                  const zekextender::HostValue* arguments, std::size_t count);

zekextender::HostValue IntegerValue(std::int32_t value);
zekextender::HostValue TextValue(const WCHAR* text);

} // namespace zekfuzz
