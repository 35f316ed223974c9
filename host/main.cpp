// zekhost: the reference host. Loads an extender, performs the handshake, and prints it
// (--info) or runs a call script, printing a transcript that can be checked against an
// expected one (--expect).
#include "host/CommandLine.h"
#include "host/ExtenderLibrary.h"
#include "host/Handshake.h"
#include "host/HostCom.h"
#include "host/HostSession.h"
#include "host/ScriptRunner.h"
#include "host/StandinLibrary.h"
#include "host/SystemIo.h"
#include "host/TranscriptDiff.h"

#include <cstdlib>
#include <exception>

namespace {

using namespace zekhost;

// Exit status: 0 when everything ran and matched, 1 otherwise.
int Run(const std::vector<std::string>& arguments) {
    Options options;
    std::string error;
    if (!ParseCommandLine(arguments, options, error)) {
        WriteStderr("zekhost: " + error + "\n" + Usage);
        return 1;
    }

    // Read everything first: a missing file is a usage error, not a half-run script.
    std::string script;
    if (!options.info && !ReadFileBytes(options.script, script)) {
        WriteStderr("zekhost: cannot read " + options.script + "\n");
        return 1;
    }
    std::string expected;
    if (!options.expect.empty() && !ReadFileBytes(options.expect, expected)) {
        WriteStderr("zekhost: cannot read " + options.expect + "\n");
        return 1;
    }

    // Declared first, so it outlives the extender, which may hold the same library.
    StandinLibrary standin(options.standin);
    if (options.standinCheck) {
        // Held from before the extender binds it, so the check sees the whole run even when
        // the script never talks to the stand-in and the extender frees it on unloading.
        standin.Load();
    }
    if (!options.com.empty() && !InitialiseCom(options.com)) {
        WriteStderr("zekhost: cannot initialise COM (" + options.com + ")\n");
        return 1;
    }
    ExtenderLibrary library;
    const std::string path = options.extender.empty()
                                 ? ProgramDirectory() + PathSeparator() + DefaultExtenderName
                                 : options.extender;
    bool loaded = false;
    const auto load = [&] { loaded = library.Load(path, error); };
    if (!options.loadThread) {
        load();
    } else if (!RunOnThread(load)) {
        error = "cannot start a thread";
    }
    if (!loaded) {
        WriteStderr("zekhost: " + error + "\n");
        return 1;
    }

    bool failed = false;
    bool exitRequested = false;
    std::string transcript;
    {
        HostSession session(library.Api(), options.hostVersion);
        const HandshakeResult handshake = PerformHandshake(session, options.offered);
        if (options.info) {
            transcript = FormatHandshake(handshake);
        } else {
            transcript = RunScript(script, session, handshake, failed, &standin, options.defines,
                                   &exitRequested);
        }
    }
    WriteStdout(transcript);

    if (!exitRequested) {
        // Unloading runs the extender's static destructors, which release what it still
        // holds; only then may the stand-in's accounts balance.
        library.Unload();
        if (!options.com.empty()) {
            const std::string com = "com after unloading: " + ComApartment() + "\n";
            WriteStdout(com);
            transcript += com;
        }
        if (options.standinCheck && standin.IsLoaded()) {
            const std::string check = CheckStandin(standin);
            WriteStdout(check);
            transcript += check;
        }
        standin.Unload();
    }

    if (!options.expect.empty()) {
        const TranscriptDifference difference = CompareTranscripts(expected, transcript);
        if (difference.differs) {
            WriteStderr("zekhost: transcript differs from " + options.expect + " at line " +
                        std::to_string(difference.line) + "\n  expected: " + difference.expected +
                        "\n  actual:   " + difference.actual + "\n");
            failed = true;
        }
    }
    if (exitRequested) {
        // As an interpreter ends whose script left stores open: the extender is still loaded
        // and learns of it from the system (on Windows, DllMain with the process ending).
        std::exit(failed ? 1 : 0);
    }
    return failed ? 1 : 0;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
    try {
        return Run(ProgramArguments(argc, argv));
    } catch (const std::exception& exception) {
        WriteStderr(std::string("zekhost: ") + exception.what() + "\n");
        return 1;
    }
}
