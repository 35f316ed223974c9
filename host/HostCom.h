// COM on the host's own threads, as an interpreter may leave it for an extender: initialised
// before the extender loads (--com), the extender loaded on a thread of its own
// (--load-thread), and the calling thread's apartment (@com).
#pragma once

#include <functional>
#include <string>

namespace zekhost {

// "sta" (OleInitialize) or "mta" (CoInitializeEx, multithreaded) on the calling thread; never
// balanced: the host keeps it to its end. False when COM cannot be reached or refuses.
bool InitialiseCom(const std::string& model);

// The calling thread's apartment: "sta", "mta", "none", or "unavailable" without COM.
std::string ComApartment();

// Runs work on a new thread and waits for that thread to end; false when no thread starts.
bool RunOnThread(const std::function<void()>& work);

} // namespace zekhost
