#pragma once
// korven7-sim of the build served on a pseudo-terminal in a temporary folder, for tests
// and benchmarks that talk to it through a real serial port.
#include <string>
#include <sys/types.h>
#include <vector>

namespace k7::test {

// Starts build/korven7 with `args`, its standard output to `out` and its errors
// discarded; returns its process id.
pid_t StartKorven7(std::vector<std::string> args, const std::string& out = "/dev/null");

// A settings file whose COM1 is `device` at `baud`, no parity.
std::string PortSettingsFile(const std::string& device, int baud);

class SimProcess {
public:
    // Starts the emulator at `baud` with further command-line options; returns once
    // its link exists. The link lies in a folder of its own unless `link` names it. Its
    // log goes to `log`, else to the file named by K7_SIM_LOG, or nowhere.
    explicit SimProcess(int baud, const std::vector<std::string>& options = {}, const std::string& link = "",
                        const std::string& log = "");
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& link() const { return link_; }
    pid_t pid() const { return pid_; }
    void kill();  // SIGKILL: the line vanishes as when the device is pulled
    void stop();  // SIGTERM: the link is removed, then the line vanishes

private:
    std::string folder_;
    std::string link_;
    pid_t pid_ = -1;
};

}  // namespace k7::test
