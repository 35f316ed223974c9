// Control of the stand-in property system, for tests and the reference host.
//
// The stand-in library exports this one function beside the property-system entry points
// (libzekpropsys.so on Linux, the stand-in propsys.dll on Windows). Commands and replies are
// UTF-8 text; standin/README.md lists the commands.
#pragma once

#include <cstdint>

extern "C" {
// Runs one command and writes its reply (always terminated, truncated to fit the capacity).
// Returns 0 when the command was carried out, nonzero when it was refused (the reply says why).
using ZekStandinControlFn = std::int32_t (*)(const char* command, char* reply,
                                             std::uint32_t replyCapacity);
}

#define ZEK_STANDIN_CONTROL_EXPORT "ZekStandinControl"
