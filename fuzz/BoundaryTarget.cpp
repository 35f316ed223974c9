// Fuzz target: the host boundary. An input is a call script as the reference host reads it
// (any function id, argument count and value record, special requests and queries, host
// services that fail on demand), plus a few lines only this target understands:
//
//   @@definition-null N     special request 0xFFFE for index N with a null record
//   @@query1 CAPACITY       query 1 into a buffer of that many characters (negative: null)
//   @@query2 V1 V2 ...      query 2 offering those interface versions
//   @@huge NAME LENGTH      variable NAME holds a wide string of LENGTH characters (at
//                           most 131 072)
//
// Every call must deliver exactly one result when its id names a function and none
// otherwise (FuzzHost checks each call); no line may draw a "!!" report from the host; after the
// input every handle is closed and the stand-in's accounts must balance.
#include "fuzz/FuzzHost.h"

#include "host/Handshake.h"
#include "host/ScriptRunner.h"

#include <sstream>
#include <vector>

namespace {

using namespace zekfuzz;

// Past every fixed buffer of the extender and past 16-bit lengths, and still cheap
// enough to build that huge texts do not slow every input that asks for one.
constexpr std::size_t MaximumHugeText = 1u << 17;

long Number(std::istringstream& words, long fallback) {
    long value = fallback;
    words >> value;
    return words.fail() ? fallback : value;
}

// The lines only this target understands; false for every other line.
bool RunTargetLine(const std::string& line, zekhost::HostSession& session,
                   zekhost::ScriptRunner& runner) {
    std::istringstream words(line);
    std::string directive;
    words >> directive;
    if (directive == "@@definition-null") {
        const auto index = static_cast<std::uint32_t>(Number(words, 0));
        const zekhost::CallOutcome outcome = session.Send(-2, nullptr, index);
        if (outcome.returned != 0 || !outcome.deliveries.empty()) {
            Fail("a definition request with a null record was answered", line);
        }
        return true;
    }
    if (directive == "@@query1") {
        const long capacity = Number(words, 0);
        if (capacity < 0 || capacity > 4096) {
            session.Query(zekextender::QueryExtenderInfo, 0, capacity);
            return true;
        }
        // A guard unit past the capacity must stay untouched; the text must be terminated.
        std::vector<WCHAR> buffer(static_cast<std::size_t>(capacity) + 1, WCHAR(0x5A5A));
        session.Query(zekextender::QueryExtenderInfo, reinterpret_cast<INT_PTR>(buffer.data()),
                      capacity);
        if (buffer[static_cast<std::size_t>(capacity)] != 0x5A5A) {
            Fail("query 1 wrote past the capacity it was given", line);
        }
        bool terminated = capacity == 0;
        for (long i = 0; i < capacity; ++i) {
            terminated = terminated || buffer[static_cast<std::size_t>(i)] == 0;
        }
        if (!terminated) {
            Fail("query 1 left the text unterminated", line);
        }
        return true;
    }
    if (directive == "@@query2") {
        std::vector<std::uint32_t> offered;
        bool hasFive = false;
        for (long version = 0; words >> version;) {
            offered.push_back(static_cast<std::uint32_t>(version));
            hasFive = hasFive || offered.back() == zekextender::ExtenderInterfaceVersion;
        }
        const std::int32_t answer =
            session.Query(zekextender::QueryInterfaceVersion,
                          reinterpret_cast<INT_PTR>(offered.empty() ? nullptr : offered.data()),
                          static_cast<INT_PTR>(offered.size()));
        if (answer != (hasFive ? 5 : -1)) {
            Fail("query 2 answered " + std::to_string(answer), line);
        }
        return true;
    }
    if (directive == "@@huge") {
        std::string name;
        words >> name;
        const long length = Number(words, 0);
        if (!name.empty() && length >= 0 && static_cast<std::size_t>(length) <= MaximumHugeText) {
            runner.Define(name, std::string(static_cast<std::size_t>(length), 'h'));
        }
        return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const zekhost::HandshakeResult& handshake = Handshake();
    const std::string input(reinterpret_cast<const char*>(data), size);

    zekhost::HostSession session(CheckedApi(), zekextender::MinimumHostVersion);
    {
        zekhost::ScriptRunner runner(session, handshake, &TheStandin());
        std::string transcript;
        std::size_t start = 0;
        while (start < input.size()) {
            std::size_t end = input.find('\n', start);
            if (end == std::string::npos) {
                end = input.size();
            }
            const std::string line = input.substr(start, end - start);
            start = end + 1;
            // A failing PropVariantClear does nothing, so the value it was to clear stays
            // allocated whatever the caller does: the accounts could not balance.
            if (line.find("PropVariantClear") != std::string::npos) {
                continue;
            }
            if (RunTargetLine(line, session, runner)) {
                continue;
            }
            const std::size_t before = transcript.size();
            runner.RunLine(line, transcript);
            const std::string report = transcript.substr(before);
            if (report.find("\n!!") != std::string::npos || report.rfind("!!", 0) == 0) {
                Fail("the host reports a broken call", report);
            }
        }
        runner.Finish(transcript);
        if (transcript.find("\n!!") != std::string::npos || transcript.rfind("!!", 0) == 0) {
            Fail("the host reports arrays left behind", transcript);
        }
    }
    EndInput(session);
    return 0;
}
