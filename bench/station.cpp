// korven7 station in real time against korven7-sim on pseudo-terminals at 57600 baud:
// one keyboard plugged in alone, then 32 plugged in within one second, with and without
// --fast; the CPU the station uses while it watches an empty folder; its peak memory.
//   build/bench_station
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/sim_process.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string Read(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path).rdbuf();
    return s.str();
}

// A number from /proc/PID/status ("VmHWM:  1234 kB").
long StatusKb(pid_t pid, const std::string& field) {
    const std::string text = Read("/proc/" + std::to_string(pid) + "/status");
    const std::size_t at = text.find(field + ":");
    return at == std::string::npos ? -1 : std::stol(text.substr(at + field.size() + 1));
}

// User and system CPU seconds of a running process.
double CpuSeconds(pid_t pid) {
    std::istringstream stat(Read("/proc/" + std::to_string(pid) + "/stat"));
    std::string field;
    unsigned long utime = 0, stime = 0;
    for (int i = 1; i <= 15 && stat >> field; ++i) {
        if (i == 14) utime = std::stoul(field);
        if (i == 15) stime = std::stoul(field);
    }
    return double(utime + stime) / double(::sysconf(_SC_CLK_TCK));
}

bool WaitUntil(const std::function<bool()>& done, double seconds) {
    for (const auto until = Clock::now() + std::chrono::duration<double>(seconds); Clock::now() < until;) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

class Station {
public:
    explicit Station(bool fast) {
        std::string pattern = (fs::temp_directory_path() / "k7station-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
        watched_ = dir_ + "/by-id";
        fs::create_directory(watched_);
        std::ofstream(dir_ + "/k.ini");
        std::ofstream(dir_ + "/l.cfg") << "001\tA\t{C7}x\r\n002\tF1\tHello{0D}\r\n003\tM\tMNOPQRSTUV\r\n";
        std::vector<std::string> args{"--settings", dir_ + "/k.ini", "--baud", "57600", "station", dir_ + "/l.cfg",
                                      "--watch", watched_, "--record", record()};
        if (fast) args.push_back("--fast");
        pid_ = k7::test::StartKorven7(args, dir_ + "/out");
        WaitUntil([&] { return Read(dir_ + "/out").find("watching") != std::string::npos; }, 10);
    }
    ~Station() {
        ::kill(pid_, SIGINT);
        ::waitpid(pid_, nullptr, 0);
        fs::remove_all(dir_);
    }
    pid_t pid() const { return pid_; }
    std::string link(int i) const { return watched_ + "/usb-KORVEN7_" + std::to_string(i); }
    std::string record() const { return dir_ + "/record.jsonl"; }
    long recorded() const {
        const std::string text = Read(record());
        return std::count(text.begin(), text.end(), '\n');
    }

private:
    std::string dir_, watched_;
    pid_t pid_ = -1;
};

struct Plugs {
    double lastSeconds = 0;  // from the first plug to the last verdict
    double slowest = 0;      // the longest a keyboard took from its plug to its verdict
    int passed = 0;
    long peakKb = 0;
    double stationCpu = 0;    // seconds of CPU the station used
    double emulatorsCpu = 0;  // and the emulators together
};

// `n` keyboards plugged in one after the other within one second.
Plugs PlugIn(int n, bool fast) {
    Station station(fast);
    std::vector<std::unique_ptr<k7::test::SimProcess>> sims;
    const auto first = Clock::now();
    for (int i = 0; i < n; ++i) {
        std::this_thread::sleep_until(first + std::chrono::milliseconds(1000 * i / n));
        sims.push_back(std::make_unique<k7::test::SimProcess>(57600, std::vector<std::string>{}, station.link(i)));
    }
    Plugs plugs;
    WaitUntil([&] { return station.recorded() >= n; }, 300);
    plugs.lastSeconds = std::chrono::duration<double>(Clock::now() - first).count();
    plugs.peakKb = StatusKb(station.pid(), "VmHWM");
    plugs.stationCpu = CpuSeconds(station.pid());
    for (const auto& sim : sims) plugs.emulatorsCpu += CpuSeconds(sim->pid());
    const std::string text = Read(station.record());
    const std::regex seconds(R"("seconds":([0-9.]+))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), seconds); it != std::sregex_iterator(); ++it)
        plugs.slowest = std::max(plugs.slowest, std::stod((*it)[1]));
    for (std::size_t at = 0; (at = text.find("\"outcome\":\"pass\"", at)) != std::string::npos; ++at) ++plugs.passed;
    const std::regex failed(R"x("outcome":"(fail|interrupted)","reason":("[^"]*"))x");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), failed); it != std::sregex_iterator(); ++it)
        std::printf("  a keyboard failed: %s\n", (*it)[2].str().c_str());
    return plugs;
}

}  // namespace

int main() {
    for (const bool fast : {false, true}) {
        const Plugs one = PlugIn(1, fast), many = PlugIn(32, fast);
        std::printf("%s: one keyboard alone %.2f s (peak %ld kB); 32 within 1 s: %d of 32 passed, last verdict %.1f s after "
                    "the first plug, slowest keyboard %.2f s = %.2f x alone (peak %ld kB, %.0f kB a keyboard in flight); "
                    "CPU a keyboard: station %.0f ms, emulator %.0f ms\n",
                    fast ? "--fast" : "without --fast", one.slowest, one.peakKb, many.passed, many.lastSeconds, many.slowest,
                    many.slowest / one.slowest, many.peakKb, double(many.peakKb - one.peakKb) / 31,
                    1000 * many.stationCpu / 32, 1000 * many.emulatorsCpu / 32);
    }
    Station idle(false);
    const double before = CpuSeconds(idle.pid());
    std::this_thread::sleep_for(std::chrono::seconds(10));
    std::printf("watching an empty folder: %.3f s of CPU in 10 s\n", CpuSeconds(idle.pid()) - before);
}
