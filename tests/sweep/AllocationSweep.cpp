// The allocation-failure sweep: for every call a scenario script makes (the handshake
// included) and for every n, the n-th allocation inside that call fails, and the run must stay
// sound. The load of the extender is swept the same way. Each point runs in a process of its
// own, forked at the call, so a crash is a finding and not the end of the sweep.
//
// A failed call cascades into the lines after it, so a point is judged by invariants, not by
// its transcript: every call answers exactly once (an error where it could not finish), no
// exception leaves an export, the host sees nothing amiss; right after the failed call every
// registered handle names a record that is either usable or reset, and the next open takes the
// smallest free handle; the rest of the script runs with the same checks; after unloading, the
// stand-in's accounts balance.
//
//   zek_allocation_sweep EXTENDER SCRIPT...          every call of each script
//   zek_allocation_sweep --load EXTENDER SCRIPT      the load, then that script run soundly
// Each is a test of its own, so that ctest runs them side by side.
#include "GuardedExtender.h"

#include "FailingAllocator.h"

#include "host/ExtenderLibrary.h"
#include "host/Handshake.h"
#include "host/ScriptRunner.h"
#include "host/StandinLibrary.h"
#include "host/SystemIo.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace zeksweep;
using zekextender::HostValue;

// What a child process leaves for its parent.
struct Report {
    std::size_t calls;            // calls the measured step made
    std::size_t allocations[512]; // allocations in each of them
    char finding[4096];           // empty when the point passed
};

Report* report = nullptr;

void Note(const std::string& text) {
    std::string all = report->finding;
    all += (all.empty() ? "" : "; ") + text;
    std::snprintf(report->finding, sizeof report->finding, "%s", all.c_str());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool HasHostReport(const std::string& transcript) {
    return transcript.rfind("!!", 0) == 0 || transcript.find("\n!!") != std::string::npos;
}

// One loaded extender running one script, step by step: step 0 is the handshake, step i the
// script's line i.
class Run {
public:
    Run(zekhost::StandinLibrary& standin, const std::string& extender,
        std::vector<std::string> lines)
        : standin_(standin), lines_(std::move(lines)) {
        std::string error;
        if (!library_.Load(extender, error)) {
            Note("the extender did not load: " + error);
            return;
        }
        api_ = GuardedApi(library_.Api());
        session_ = std::make_unique<zekhost::HostSession>(api_, zekextender::MinimumHostVersion);
    }

    bool Loaded() const { return session_ != nullptr; }
    std::size_t Steps() const { return lines_.size() + 1; }

    void Step(std::size_t step) {
        if (step == 0) {
            Handshake();
            return;
        }
        const std::size_t before = transcript_.size();
        runner_->RunLine(lines_[step - 1], transcript_);
        if (HasHostReport(transcript_.substr(before))) {
            Note("line " + std::to_string(step) + ": " + transcript_.substr(before));
        }
    }

    void Handshake() {
        runner_.reset();
        handshake_ = zekhost::PerformHandshake(*session_, {zekextender::ExtenderInterfaceVersion});
        std::int16_t open = -100;
        std::uint32_t count = 0;
        zekhost::FindFunction(handshake_, "vtoOpenPS", open, count);
        SetFunctionCount(handshake_.functionCount, open);
        runner_ = std::make_unique<zekhost::ScriptRunner>(*session_, handshake_, &standin_);
    }

    // Right after the failed call: the registry and its records.
    void ProbeRegistry() {
        std::int16_t id = 0;
        std::uint32_t count = 0;
        auto call = [&](const char* name, std::int32_t argument) {
            if (!zekhost::FindFunction(handshake_, name, id, count)) {
                Note(std::string("the handshake lost ") + name);
                return zekhost::Delivery{};
            }
            HostValue records[16] = {};
            records[0].type = zekextender::HostValueInteger;
            records[0].intValue = argument;
            const zekhost::CallOutcome outcome = session_->Send(id, records, 0);
            return outcome.deliveries.empty() ? zekhost::Delivery{} : outcome.deliveries[0];
        };
        std::uint32_t smallestFree = 0;
        for (std::uint32_t handle = 1; handle <= HighestIssuedHandle() + 1; ++handle) {
            const auto h = static_cast<std::int32_t>(handle);
            if (call("vtoIsPSDirty", h).resultCode != 0) {
                smallestFree = smallestFree == 0 ? handle : smallestFree;
                continue;
            }
            const bool valid = call("vtoIsPSValid", h).value.integer != 0;
            const zekhost::Delivery spec = call("vtoGetFileSpec", h);
            const zekhost::Delivery flags = call("vtoGetGPSFlags", h);
            const bool dirty = call("vtoIsPSDirty", h).value.integer != 0;
            if (valid && spec.value.wide.empty()) {
                Note("handle " + std::to_string(handle) + " is valid without a file spec");
            }
            if (!valid && (!spec.value.wide.empty() || flags.value.integer != 0 || dirty)) {
                Note("handle " + std::to_string(handle) + " is invalid but not reset");
            }
        }
        // The next open takes the smallest free handle.
        std::int32_t status = 0;
        std::string reply;
        standin_.Send("item \"sweep:probe\"", status, reply);
        if (!zekhost::FindFunction(handshake_, "vtoOpenPS", id, count)) {
            return;
        }
        static const WCHAR probe[] = u"sweep:probe";
        HostValue records[16] = {};
        records[0].type = zekextender::HostValueWideString;
        records[0].text = const_cast<WCHAR*>(probe);
        records[1].type = zekextender::HostValueInteger;
        const zekhost::CallOutcome opened = session_->Send(id, records, 0);
        if (opened.deliveries.empty() || opened.deliveries[0].resultCode != 0) {
            return; // an injected failure of the script may refuse every open
        }
        const std::int32_t handle = opened.deliveries[0].value.integer;
        if (static_cast<std::uint32_t>(handle) != smallestFree) {
            Note("the next open took handle " + std::to_string(handle) + ", not the free " +
                 std::to_string(smallestFree));
        }
        call("vtoClosePS", handle);
    }

    // The rest of the script, then the end of the run: unload and the stand-in's accounts.
    void Finish(std::size_t fromStep) {
        for (std::size_t step = fromStep; step < Steps(); ++step) {
            Step(step);
        }
        if (runner_) {
            std::string transcript;
            runner_->Finish(transcript);
            if (HasHostReport(transcript)) {
                Note(transcript);
            }
        }
        runner_.reset();
        session_.reset();
        library_.Unload();
        std::int32_t status = 0;
        std::string reply;
        standin_.Send("check", status, reply);
        if (status != 0) {
            Note("the stand-in's accounts do not balance: " + reply);
        }
        for (const std::string& fault : BoundaryFaults()) {
            Note(fault);
        }
    }

private:
    zekhost::StandinLibrary& standin_;
    std::vector<std::string> lines_;
    zekhost::ExtenderLibrary library_;
    zekhost::ExtenderApi api_;
    std::unique_ptr<zekhost::HostSession> session_;
    zekhost::HandshakeResult handshake_;
    std::unique_ptr<zekhost::ScriptRunner> runner_;
    std::string transcript_;
};

// Runs body in a child process; returns false with the finding when it failed or crashed.
template <class Body> bool InChild(Body&& body, std::string& finding) {
    std::memset(report, 0, sizeof *report);
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        body();
        std::fflush(nullptr);
        _exit(report->finding[0] == '\0' ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    finding = report->finding;
    if (WIFSIGNALED(status)) {
        finding += (finding.empty() ? "" : "; ") + std::string("killed by signal ") +
                   std::to_string(WTERMSIG(status));
    } else if (WEXITSTATUS(status) != 0 && finding.empty()) {
        finding = "exit status " + std::to_string(WEXITSTATUS(status));
    }
    return finding.empty();
}

// Points and findings, the first few findings of each part told in full.
struct Tally {
    std::size_t points = 0;
    std::size_t findings = 0;
    std::size_t findingsOfPart = 0;

    void Count(bool passed, const std::string& where, const std::string& finding) {
        ++points;
        if (!passed) {
            ++findings;
            if (++findingsOfPart <= 8) {
                std::printf("FINDING %s: %s\n", where.c_str(), finding.c_str());
            }
        }
    }

    void EndPart(const std::string& part, std::size_t pointsBefore) {
        std::printf("%s: %zu allocation points, %zu findings\n", part.c_str(),
                    points - pointsBefore, findingsOfPart);
        std::fflush(stdout);
        findingsOfPart = 0;
    }
};

// The load: the n-th allocation of the library's start-up fails; it must still load, and a
// script must then run soundly.
void SweepLoad(zekhost::StandinLibrary& standin, const std::string& extender,
               const std::vector<std::string>& lines, Tally& tally) {
    std::string finding;
    std::size_t allocations = 0;
    InChild(
        [&] {
            zektest::ArmAllocationFailure(0, false);
            void* library = dlopen(extender.c_str(), RTLD_NOW | RTLD_LOCAL);
            report->allocations[0] = zektest::DisarmAllocationFailure();
            if (library != nullptr) {
                dlclose(library);
            }
        },
        finding);
    allocations = report->allocations[0];
    for (std::size_t n = 1; n <= allocations; ++n) {
        const bool passed = InChild(
            [&] {
                // Only the library's own start-up is armed; the host's bookkeeping is not.
                zektest::ArmAllocationFailure(n, false);
                void* library = dlopen(extender.c_str(), RTLD_NOW | RTLD_LOCAL);
                zektest::DisarmAllocationFailure();
                if (library == nullptr) {
                    Note(std::string("the extender did not load: ") + dlerror());
                    return;
                }
                Run run(standin, extender, lines);
                dlclose(library); // the run's own load now holds it
                if (run.Loaded()) {
                    run.Finish(0);
                }
            },
            finding);
        tally.Count(passed, "load, allocation " + std::to_string(n), finding);
    }
    tally.EndPart("load", tally.points - allocations);
}

void SweepScript(zekhost::StandinLibrary& standin, const std::string& extender,
                 const std::string& path, Tally& tally) {
    std::string text;
    if (!zekhost::ReadFileBytes(path, text)) {
        tally.Count(false, path, "cannot read the script");
        return;
    }
    const std::size_t before = tally.points;
    Run run(standin, extender, Lines(text));
    if (!run.Loaded()) {
        tally.Count(false, path, report->finding);
        return;
    }
    for (std::size_t step = 0; step < run.Steps(); ++step) {
        // How many calls the step makes, then how many allocations each of them makes.
        const std::size_t first = CallsMade();
        std::string finding;
        InChild(
            [&] {
                run.Step(step);
                report->calls = CallsMade() - first;
            },
            finding);
        const std::size_t calls = report->calls;
        std::vector<std::size_t> allocations(calls, 0);
        for (std::size_t call = 0; call < calls && call < 512; ++call) {
            InChild(
                [&] {
                    TargetCall(first + call, 0);
                    run.Step(step);
                    report->allocations[0] = AllocationsInTarget();
                },
                finding);
            allocations[call] = report->allocations[0];
        }
        for (std::size_t call = 0; call < calls; ++call) {
            for (std::size_t n = 1; n <= allocations[call]; ++n) {
                const bool passed = InChild(
                    [&] {
                        TargetCall(first + call, n);
                        run.Step(step);
                        if (!TargetFailed()) {
                            Note("the allocation to fail was not reached");
                        }
                        if (step == 0) {
                            run.Handshake(); // the host asks again
                        }
                        run.ProbeRegistry();
                        run.Finish(step + 1);
                    },
                    finding);
                tally.Count(passed,
                            path + " step " + std::to_string(step) + " call " +
                                std::to_string(call) + " allocation " + std::to_string(n),
                            finding);
            }
        }
        TargetCall(SIZE_MAX, 0);
        run.Step(step);
    }
    tally.EndPart(path, before);
}

} // namespace

int main(int argc, char** argv) {
    const bool load = argc > 1 && std::strcmp(argv[1], "--load") == 0;
    if (load) {
        --argc;
        ++argv;
    }
    if (argc < 3 || (load && argc != 3)) {
        std::fprintf(stderr, "usage: zek_allocation_sweep [--load] EXTENDER SCRIPT...\n");
        return 2;
    }
    void* shared =
        mmap(nullptr, sizeof(Report), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) {
        std::perror("mmap");
        return 2;
    }
    report = static_cast<Report*>(shared);

    // Held throughout, so every child sees the stand-in the extender binds.
    zekhost::StandinLibrary standin;
    if (!standin.Load()) {
        std::fprintf(stderr, "the stand-in property system is not beside the program\n");
        return 2;
    }
    const std::string extender = argv[1];
    Tally tally;
    if (load) {
        std::string script;
        if (!zekhost::ReadFileBytes(argv[2], script)) {
            std::fprintf(stderr, "cannot read %s\n", argv[2]);
            return 2;
        }
        SweepLoad(standin, extender, Lines(script), tally);
    } else {
        for (int i = 2; i < argc; ++i) {
            SweepScript(standin, extender, argv[i], tally);
        }
    }
    std::printf("%zu allocation points swept, %zu findings\n", tally.points, tally.findings);
    return tally.findings == 0 ? 0 : 1;
}
