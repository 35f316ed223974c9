// Runs a call script against a session and writes its transcript: each call or directive
// echoed as "> " and the trimmed line, followed by what came back.
#pragma once

#include "host/Handshake.h"
#include "host/HostSession.h"
#include "host/OwnedValue.h"
#include "host/ScriptParser.h"
#include "host/StandinChannel.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zekhost {

class ScriptRunner {
public:
    // standin may be null: @standin then reports the stand-in unavailable.
    ScriptRunner(HostSession& session, const HandshakeResult& handshake,
                 StandinChannel* standin = nullptr);

    // Sets a variable to a wide string (UTF-8 text) before the script runs.
    void Define(const std::string& name, const std::string& text);

    // Runs one line; appends to transcript.
    void RunLine(const std::string& line, std::string& transcript);

    // Releases what the script's variables hold and reports arrays the extender leaked.
    void Finish(std::string& transcript);

    bool HadErrors() const { return hadErrors_; }
    // After @exit: the script stops there.
    bool ExitRequested() const { return exitRequested_; }

private:
    void RunCall(const Call& call, std::string& transcript);
    void RunDirective(const Directive& directive, std::string& transcript);
    void Assign(const std::string& name, const OwnedValue& value);
    void ReleaseIfArray(const OwnedValue& value);
    bool BuildArgument(const Argument& argument, OwnedValue& value, std::string& error) const;
    void SyntaxError(const std::string& message, std::string& transcript);

    HostSession& session_;
    const HandshakeResult& handshake_;
    StandinChannel* standin_;
    std::map<std::string, OwnedValue> variables_;
    bool hadErrors_ = false;
    bool exitRequested_ = false;
};

// Runs a whole script (UTF-8 bytes, LF or CRLF line ends) and returns its transcript. After
// @exit it stops, releases nothing and sets exitRequested (when given).
std::string RunScript(const std::string& script, HostSession& session,
                      const HandshakeResult& handshake, bool& hadErrors,
                      StandinChannel* standin = nullptr,
                      const std::vector<std::pair<std::string, std::string>>& defines = {},
                      bool* exitRequested = nullptr);

} // namespace zekhost
