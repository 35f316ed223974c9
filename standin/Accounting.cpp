#include "standin/Accounting.h"

#include "standin/TaskMemory.h"

#include <atomic>
#include <cstdio>

namespace standin {
namespace {

std::atomic<std::int64_t> references{0};
std::atomic<std::int64_t> overReleases{0};
std::atomic<std::int64_t> usesAfterCommit{0};
std::atomic<std::int64_t> unmatchedUninitialisations{0};
std::atomic<bool> detached{false};

} // namespace

Accounting ReadAccounting() {
    return {references.load(),   LiveAllocations(),      BadFrees(),
            overReleases.load(), usesAfterCommit.load(), unmatchedUninitialisations.load()};
}

bool IsBalanced(const Accounting& accounting) {
    return accounting.references == 0 && accounting.allocations == 0 && accounting.badFrees == 0 &&
           accounting.overReleases == 0 && accounting.usesAfterCommit == 0 &&
           accounting.unmatchedUninitialisations == 0;
}

std::string AccountingText(const Accounting& accounting) {
    return "references " + std::to_string(accounting.references) + ", allocations " +
           std::to_string(accounting.allocations) + ", bad frees " +
           std::to_string(accounting.badFrees) + ", over-releases " +
           std::to_string(accounting.overReleases) + ", uses after commit " +
           std::to_string(accounting.usesAfterCommit) +
           (accounting.unmatchedUninitialisations == 0
                ? std::string()
                : ", unmatched uninitialisations " +
                      std::to_string(accounting.unmatchedUninitialisations));
}

void CountReferences(std::int64_t delta) {
    references += delta;
}

void CountOverRelease() {
    ++overReleases;
}

void CountUseAfterCommit() {
    ++usesAfterCommit;
}

void CountUnmatchedUninitialisation() {
    ++unmatchedUninitialisations;
}

void MarkProcessExitDetach() {
    detached = true;
}

void CheckCalledBeforeDetach() noexcept {
    if (detached) {
        std::fputs("zekpropsys: called after its process-exit detach\n", stderr);
        std::fflush(stderr);
    }
}

void ForgetFaults() {
    overReleases = 0;
    usesAfterCommit = 0;
    unmatchedUninitialisations = 0;
    ForgetBadFrees();
}

} // namespace standin
