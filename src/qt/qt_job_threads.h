#pragma once
// Several jobs at once, each on a thread of its own with its own Qt event loop, so that
// each may block in its own waits (one serial port per thread, say).
#include <functional>
#include <vector>

namespace k7::qt {

// Starts every job on its own thread and returns once all have ended. Meanwhile Ctrl-C
// (SIGINT) or SIGTERM calls `interrupted` with the signal on this thread and then wakes every job's
// event loop, so that a job blocked in a wait sees at once what `interrupted` set.
// A second signal ends the program as usual. A job must not throw.
void runJobsOnThreads(const std::vector<std::function<void()>>& jobs, const std::function<void(int signal)>& interrupted);

}  // namespace k7::qt
