#pragma once
// Finding the KORVEN7: each candidate port is asked for the firmware version, rate by
// rate, until one answers naming the KORVEN7 (or, asked for all, until every port has
// answered or been tried at every rate). Only the version request is ever sent, so
// nothing else reaches a device that has not answered it. A port that will not open
// (held by another program, unplugged) is skipped from then on and the reason kept. The
// waits block on the event pump, so the window stays live, and a stop request ends the
// search once the query under way is done.
#include <functional>
#include <string>
#include <vector>

#include "device/operation_outcome.h"
#include "platform/event_pump.h"
#include "platform/serial_port.h"

namespace k7 {

struct SearchCandidate {
    std::string name;    // for the user: "COM9 (ttyUSB0)"
    std::string device;  // what is opened
};

struct SearchHit {
    std::size_t candidate = 0;  // the candidate that answered
    int baud = 0;               // at this rate
    std::string version;        // with this reply
};

struct SkippedPort {
    std::size_t candidate = 0;
    std::string reason;        // the system's words: why it would not open
    OperationOutcome outcome;  // the same as a fact: missing, busy, no permission, ...
};

struct SearchOutcome {
    std::vector<SearchHit> found;  // in the order they answered
    bool stopped = false;
    std::vector<SkippedPort> skipped;
    int tried = 0;                 // candidates asked at least once
};

class DeviceSearch {
public:
    DeviceSearch(SerialPort& port, EventPump& pump) : port_(port), pump_(pump) {}

    // Every candidate at the first rate, then every candidate at the next, and so on.
    // Ends at the first KORVEN7 unless `all`. The port is left closed, set to whatever
    // was tried last.
    SearchOutcome run(const std::vector<SearchCandidate>& candidates, const std::vector<int>& rates, char parity,
                      bool all = false);
    void requestStop() { stopRequested_ = true; }
    bool running() const { return running_; }

    // Before each query: the number of steps done and in all, and what is asked now.
    std::function<void(int done, int total, const SearchCandidate& candidate, int baud)> onQuery;

private:
    enum class Answer { Korven7, Other, CannotOpen };
    Answer ask(const std::vector<SearchCandidate>& candidates, std::size_t index, int baud, char parity,
               SearchOutcome& outcome);

    SerialPort& port_;
    EventPump& pump_;
    bool stopRequested_ = false;
    bool running_ = false;
};

}  // namespace k7
