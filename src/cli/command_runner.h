#pragma once
// korven7 from its arguments to its exit status, on the engine: the same session, frames,
// waits and log lines as the window. Each port runs on a thread of its own (the engine's
// waits block, so one thread cannot serve two ports at once); the results are gathered
// and shown once every port has ended.
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/event_pump.h"
#include "platform/files.h"
#include "platform/serial_port.h"
#include "platform/station_host.h"

namespace k7 {

struct CliPlatform {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    FileStore& files;
    std::function<std::string()> settingsFileName;  // the window's settings file
    std::function<std::string()> nowText;
    std::function<std::string()> historyFolder;  // the keyboard's history
    std::function<std::vector<SerialPortInfo>()> listPorts;
    // Called on the thread of the port that will use them.
    std::function<std::unique_ptr<SerialPort>()> createPort;
    std::function<std::unique_ptr<EventPump>()> createPump;
    // Runs the jobs at once and returns when all have ended; `interrupted` is called with
    // the signal on Ctrl-C (SIGINT) or SIGTERM, after which every job's waits wake up.
    std::function<void(const std::vector<std::function<void()>>& jobs, const std::function<void(int signal)>& interrupted)>
        runJobs;
    bool outIsTerminal = false;
    std::function<std::unique_ptr<StationHost>()> createStationHost = {};
};

// Runs korven7 with `args` (without the program's name); returns the exit status.
int runCommandLine(const std::vector<std::string>& args, CliPlatform& platform);

}  // namespace k7
