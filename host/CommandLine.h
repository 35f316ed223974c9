// zekhost [--extender PATH] [--host-version N] [--offer V1,V2,...] [--expect FILE]
//         [--standin-check] [--define NAME=TEXT ...] (--info | SCRIPT)
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zekhost {

struct Options {
    std::string extender; // empty: the library next to the program
    std::uint32_t hostVersion = 1005;
    std::vector<std::uint32_t> offered{5};
    std::string expect;
    bool info = false;
    bool standinCheck = false; // after the run, the stand-in's own check
    // --define NAME=TEXT: script variables holding wide strings before the first line.
    std::vector<std::pair<std::string, std::string>> defines;
    std::string script;
};

extern const char* const Usage;

// Arguments without the program name. False with a message on a bad command line.
bool ParseCommandLine(const std::vector<std::string>& arguments, Options& options,
                      std::string& error);

} // namespace zekhost
