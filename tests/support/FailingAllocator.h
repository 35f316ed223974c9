// A replacement of the global allocation functions that fails chosen allocations, so that
// tests can reach every path on which memory runs out.
//
// Linking the zek_failing_allocator library into a program replaces operator new and delete
// (every form: plain, array, nothrow, aligned) for the whole program. While nothing is armed
// they behave as the standard ones. While armed, allocations are counted from 1 and the one
// numbered `failAt` fails: the throwing forms throw std::bad_alloc, the nothrow forms return
// null. With `sticky`, every later allocation fails too, until the arming ends.
//
// On Linux the replacement also serves the shared libraries of the process (the stand-in
// property system among them); on Windows each DLL keeps its own allocator.
//
// The state is process-wide and not locked: arm it on the thread that runs the code under
// test, and only while no other thread allocates.
#pragma once

#include <cstddef>

namespace zektest {

// Fails the failAt-th allocation from now (1 is the next one); 0 fails none but counts.
void ArmAllocationFailure(std::size_t failAt, bool sticky = false);
// Ends the arming; returns the number of allocations attempted while armed.
std::size_t DisarmAllocationFailure();
// Allocations attempted since the arming began (0 while disarmed).
std::size_t AllocationsSinceArmed();
// Whether an allocation has been failed since the arming began.
bool AllocationFailureHappened();

// Stops counting and failing for the life of a scope, then goes on where it stopped: for code
// that runs inside an armed call but is not under test, such as a host's result callback.
class AllocationFailurePause {
public:
    AllocationFailurePause();
    ~AllocationFailurePause();
    AllocationFailurePause(const AllocationFailurePause&) = delete;
    AllocationFailurePause& operator=(const AllocationFailurePause&) = delete;

private:
    bool wasArmed;
};

// Arms for the life of a scope.
class AllocationFailure {
public:
    explicit AllocationFailure(std::size_t failAt, bool sticky = false) {
        ArmAllocationFailure(failAt, sticky);
    }
    ~AllocationFailure() { DisarmAllocationFailure(); }
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;

    std::size_t Count() const { return AllocationsSinceArmed(); }
    bool Failed() const { return AllocationFailureHappened(); }
};

// Runs `step` with its n-th allocation failing, for n = 1, 2, ... until a run in which no
// allocation failed (or `limit` runs). `prepare()` runs before each run and `check(n, failed)`
// after it, both with nothing armed. Returns the number of runs in which an allocation failed.
template <typename Prepare, typename Step, typename Check>
std::size_t ForEachAllocationFailure(Prepare prepare, Step step, Check check,
                                     std::size_t limit = 100000) {
    std::size_t n = 1;
    for (; n <= limit; ++n) {
        prepare();
        bool failed = false;
        {
            AllocationFailure failure(n);
            step();
            failed = failure.Failed();
        }
        check(n, failed);
        if (!failed) {
            break;
        }
    }
    return n - 1;
}

} // namespace zektest
