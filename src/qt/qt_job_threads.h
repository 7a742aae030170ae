#pragma once
// Several jobs at once, each on a thread of its own with its own Qt event loop, so that
// each may block in its own waits (one serial port per thread, say).
#include <csignal>
#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace k7::qt {

// While it lives, Ctrl-C (SIGINT) or SIGTERM calls `interrupted` with the signal on the
// event loop of the thread that made it; a second signal ends the program as usual.
class InterruptSignals {
public:
    explicit InterruptSignals(std::function<void(int signal)> interrupted);
    ~InterruptSignals();
    InterruptSignals(const InterruptSignals&) = delete;
    InterruptSignals& operator=(const InterruptSignals&) = delete;
private:
    int fds_[2] = {-1, -1};
    struct sigaction oldInt_ {}, oldTerm_ {};
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Starts every job on its own thread and returns once all have ended. Meanwhile Ctrl-C
// (SIGINT) or SIGTERM calls `interrupted` with the signal on this thread and then wakes every job's
// event loop, so that a job blocked in a wait sees at once what `interrupted` set.
// A second signal ends the program as usual. A job must not throw.
void runJobsOnThreads(const std::vector<std::function<void()>>& jobs, const std::function<void(int signal)>& interrupted);

}  // namespace k7::qt
