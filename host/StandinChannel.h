// The stand-in property system's control export, as scripts reach it through @standin and
// as --standin-check asks it for its accounts after a run.
#pragma once

#include <cstdint>
#include <string>

namespace zekhost {

class StandinChannel {
public:
    virtual ~StandinChannel() = default;

    // Runs one command (UTF-8). False when the stand-in is not available; otherwise status is
    // what it returned (0 carried out, nonzero refused) and reply its answer.
    virtual bool Send(const std::string& command, std::int32_t& status, std::string& reply) = 0;

    // The calling thread's COM apartment ("sta", "mta", "none"), for @com.
    virtual std::string ComApartment() { return "unavailable"; }
};

// The transcript line of a @standin directive: "standin: REPLY", "standin refused: REPLY" or
// "standin unavailable". A null channel is unavailable.
std::string RunStandinCommand(StandinChannel* channel, const std::string& command);

// After a run: "!! REPLY" when the stand-in refuses its check (something obtained from it was
// left behind or freed twice); nothing when it passes or is not there.
std::string CheckStandin(StandinChannel& channel);

} // namespace zekhost
