#pragma once
// Finding the KORVEN7: each candidate port is asked for the firmware version, rate by
// rate, until one answers naming the KORVEN7. Only the version request is ever sent, so
// nothing else reaches a device that has not answered it. A port that will not open
// (held by another program, unplugged) is skipped from then on and the reason kept. The
// waits block on the event pump, so the window stays live, and a stop request ends the
// search once the query under way is done.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/event_pump.h"
#include "platform/serial_port.h"

namespace k7 {

struct SearchCandidate {
    std::string name;    // for the user: "COM9 (ttyUSB0)"
    std::string device;  // what is opened
};

struct SearchOutcome {
    std::optional<std::size_t> found;  // the candidate that answered
    int baud = 0;                      // at this rate
    std::string version;               // with this reply
    bool stopped = false;
    std::vector<std::string> skipped;  // "COM9 (ttyUSB0): " and why it would not open
};

class DeviceSearch {
public:
    DeviceSearch(SerialPort& port, EventPump& pump) : port_(port), pump_(pump) {}

    // Every candidate at the first rate, then every candidate at the next, and so on.
    // The port is left closed, set to whatever was tried last.
    SearchOutcome run(const std::vector<SearchCandidate>& candidates, const std::vector<int>& rates, char parity);
    void requestStop() { stopRequested_ = true; }
    bool running() const { return running_; }

    // Before each query: the number of steps done and in all, and what is asked now.
    std::function<void(int done, int total, const SearchCandidate& candidate, int baud)> onQuery;

private:
    bool ask(const std::vector<SearchCandidate>& candidates, std::size_t index, int baud, char parity,
             SearchOutcome& outcome);

    SerialPort& port_;
    EventPump& pump_;
    bool stopRequested_ = false;
    bool running_ = false;
};

}  // namespace k7
