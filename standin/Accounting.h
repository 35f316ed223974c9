// What the stand-in has handed out and not yet had back, and the faults it has seen, so that
// every test can assert that a call path left nothing behind.
#pragma once

#include <cstdint>
#include <string>

namespace standin {

struct Accounting {
    std::int64_t references;      // live COM references of every object handed out
    std::int64_t allocations;     // live task-memory blocks
    std::int64_t badFrees;        // task memory freed twice (or never ours, off Windows)
    std::int64_t overReleases;    // Release or AddRef on an object after its last Release
    std::int64_t usesAfterCommit; // calls to a store after its Commit (they fail with E_FAIL)
    std::int64_t unmatchedUninitialisations; // OleUninitialize or CoUninitialize on a thread
                                             // with no initialisation of that kind left
};

Accounting ReadAccounting();
bool IsBalanced(const Accounting& accounting);
// "references 0, allocations 0, bad frees 0, over-releases 0, uses after commit 0", and
// ", unmatched uninitialisations N" when there were any.
std::string AccountingText(const Accounting& accounting);

void CountReferences(std::int64_t delta);
void CountOverRelease();
void CountUseAfterCommit();
void CountUnmatchedUninitialisation();

// The module is detached because the process is ending (Windows: DllMain's reserved pointer is
// set; elsewhere: the library's finalisers run). Every call into it after that is a fault of
// the caller, reported on stderr as it happens, since no one can ask afterwards.
void MarkProcessExitDetach();
void CheckCalledBeforeDetach() noexcept;
// Clears the fault counters; live references and blocks are facts and stay counted.
void ForgetFaults();

} // namespace standin
