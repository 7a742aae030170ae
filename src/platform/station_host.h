#pragma once
// What a station that programs keyboards as they are plugged in needs of the system: a
// folder of device links it is told about when it changes, a thread for each keyboard,
// and a loop that ends on Ctrl-C. The Qt ring implements it; tests may fake it.
#include <functional>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace k7 {

class StationHost {
public:
    virtual ~StationHost() = default;

    // Starts watching `folder`: `changed` is called on the loop whenever entries may have
    // appeared or vanished, the folder itself too when it comes or goes. Costs nothing
    // while the folder stays as it is. Throws RuntimeError when it cannot be watched.
    virtual void watch(const std::string& folder, std::function<void()> changed) = 0;
    // The names in the folder now (links included, "." and ".." not).
    virtual std::vector<std::string> names(const std::string& folder) = 0;
    // What the system knows of the adapter behind `device` (its maker and serial number;
    // empty when it knows nothing), found without going through every port there is.
    virtual SerialPortInfo adapterOf(const std::string& device) = 0;

    // Runs `job` on a thread of its own; `ended` is called on the loop once it has
    // returned. Returns a function, for the loop's thread, that wakes the job's waits
    // (so that it sees a flag set meanwhile). `job` must not throw.
    virtual std::function<void()> start(std::function<void()> job, std::function<void()> ended) = 0;

    // Runs the loop until quit(). Ctrl-C (or SIGTERM) calls `interrupted` on the loop;
    // a second one ends the program as usual.
    virtual void run(std::function<void()> interrupted) = 0;
    virtual void quit() = 0;
};

}  // namespace k7
