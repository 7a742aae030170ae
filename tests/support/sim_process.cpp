#include "support/sim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace k7::test {

SimProcess::SimProcess(int baud, const std::vector<std::string>& options, const std::string& link,
                       const std::string& log) {
    if (link.empty()) {
        std::string pattern = (fs::temp_directory_path() / "k7sim-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
    }
    link_ = link.empty() ? folder_ + "/ttyKORVEN7" : link;
    std::vector<std::string> args{K7_BUILD_DIR "/korven7-sim", link_, "--baud", std::to_string(baud)};
    args.insert(args.end(), options.begin(), options.end());
    pid_ = ::fork();
    if (pid_ == 0) {
        // A test that crashes must not leave the emulator behind holding its output open.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const char* logFile = log.empty() ? std::getenv("K7_SIM_LOG") : log.c_str();
        const int fd = ::open(logFile ? logFile : "/dev/null", O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(fd, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    for (int i = 0; i < 500 && !fs::is_symlink(link_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!fs::is_symlink(link_)) throw std::runtime_error("korven7-sim did not start");
}

SimProcess::~SimProcess() {
    stop();
    std::error_code ec;
    if (!folder_.empty()) fs::remove_all(folder_, ec);
}

void SimProcess::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

pid_t StartKorven7(std::vector<std::string> args, const std::string& out) {
    args.insert(args.begin(), K7_BUILD_DIR "/korven7");
    std::fflush(nullptr);  // else the child would print what is still buffered too
    const pid_t pid = ::fork();
    if (pid == 0) {
        (void)!::freopen(out.c_str(), "w", stdout);
        (void)!::freopen("/dev/null", "w", stderr);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

std::string PortSettingsFile(const std::string& device, int baud) {
    return "[COMSETTINGS]\r\nPORT=1\r\nBAUD=" + std::to_string(baud) + "\r\nPARITY=N\r\n[PORTS]\r\nCOM1=" + device + "\r\n";
}

void SimProcess::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace k7::test
