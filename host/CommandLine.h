// zekhost [--extender PATH] [--host-version N] [--offer V1,V2,...] [--expect FILE]
//         [--standin-check] [--standin PATH] [--com sta|mta] [--load-thread] [--define NAME=TEXT
//         ...]
//         (--info | SCRIPT)
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
    std::string standin;       // --standin PATH: the stand-in's library, else the default
    std::string com;           // --com sta|mta: COM on the main thread before the load
    bool loadThread = false;   // --load-thread: the extender loaded on a thread of its own
    // --define NAME=TEXT: script variables holding wide strings before the first line.
    std::vector<std::pair<std::string, std::string>> defines;
    std::string script;
};

extern const char* const Usage;

// Arguments without the program name. False with a message on a bad command line.
bool ParseCommandLine(const std::vector<std::string>& arguments, Options& options,
                      std::string& error);

} // namespace zekhost
