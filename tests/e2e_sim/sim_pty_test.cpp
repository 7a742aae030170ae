// korven7-sim on a pseudo-terminal, driven with plain POSIX I/O as a serial port would be.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace k7::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Runs korven7-sim on a link in a fresh temporary folder; stops it on destruction.
class Sim {
public:
    explicit Sim(std::vector<std::string> options) {
        char tmpl[] = "/tmp/k7simXXXXXX";
        folder_ = mkdtemp(tmpl);
        link = folder_ + "/ttyKORVEN7";
        std::vector<std::string> args{K7_BUILD_DIR "/korven7-sim", link, "--baud", "57600"};
        args.insert(args.end(), options.begin(), options.end());
        pid_ = fork();
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            const int quiet = open(getenv("K7_SIM_LOG") ? getenv("K7_SIM_LOG") : "/dev/null", O_WRONLY | O_CREAT | O_APPEND, 0644);
            dup2(quiet, STDERR_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
        // The link appears once the pseudo-terminal is set up.
        for (int i = 0; i < 500 && !fs::is_symlink(link); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~Sim() {
        if (pid_ > 0) stop();
        fs::remove_all(folder_);
    }
    int stop() {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }
    std::string link;

private:
    std::string folder_;
    pid_t pid_ = -1;
};

int OpenRaw(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return fd;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

// Reads until `want` characters arrived or `ms` passed.
std::string ReadFor(int fd, std::size_t want, int ms) {
    std::string got;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < want && Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (poll(&p, 1, static_cast<int>(std::max<long long>(left, 0))) <= 0) break;
        char buffer[256];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) got.append(buffer, n);
        else if (n == 0 || errno != EAGAIN) break;
    }
    return got;
}

std::string Exchange(int fd, const std::string& bytes, std::size_t want, int ms = 2000) {
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    return ReadFor(fd, want, ms);
}

const std::string kVersion = "KORVEN7 V2.14\r\n";
const std::string kErase{"\x2F\x45\x09\xAA\x55\xAA\x55\x00\x7B", 9};
const std::string kReadRow0{"\x2F\x52\x06\x00\x00\x87", 6};

TEST(SimOnPty, AnswersAcrossCloseAndReopenAndEndsCleanly) {
    Sim sim({});
    ASSERT_TRUE(fs::is_symlink(sim.link));
    for (int round = 0; round < 3; ++round) {
        const int fd = OpenRaw(sim.link);
        ASSERT_GE(fd, 0) << "round " << round;
        EXPECT_EQ(Exchange(fd, "/V", kVersion.size()), kVersion) << "round " << round;
        EXPECT_EQ(Exchange(fd, kReadRow0, 51), "SCAN: 04 = {61}{00}{00}{00}{00}{00}{00}{00}{00}{00}");
        // A reply left unread when the port closes is not seen by the next opener.
        EXPECT_EQ(write(fd, "/V", 2), 2);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the server notices the close
    }
    const int fd = OpenRaw(sim.link);
    EXPECT_EQ(Exchange(fd, "/V", kVersion.size() + 1, 300), kVersion) << "no leftovers from the last round";
    close(fd);
    const int status = sim.stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(fs::exists(fs::symlink_status(sim.link))) << "the link goes with the server";
}

TEST(SimOnPty, FaultsFromTheCommandLine) {
    Sim sim({"--text-before-ack", "--version-text", "ACME 1.0\\r\\n", "--silent-rows", "0,7"});
    const int fd = OpenRaw(sim.link);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(Exchange(fd, "/V", 10), "ACME 1.0\r\n");
    EXPECT_EQ(Exchange(fd, kErase, 6), "OK ACK");
    EXPECT_EQ(Exchange(fd, kReadRow0, 51, 300), "");
    close(fd);
}

}  // namespace
}  // namespace k7::test

namespace k7::test {
namespace {

std::string ReadAll(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

int RunSim(const std::string& args) {
    return std::system((K7_BUILD_DIR "/korven7-sim " + args + " 2>/dev/null").c_str());
}

TEST(SimSetPortIn, PointsTheConfiguredPortAtTheLinkAndKeepsEveryOtherLine) {
    const fs::path folder = fs::temp_directory_path() / ("k7ini" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string ini = (folder / "KORVEN7.ini").string();
    const struct { std::string before, args, after; } cases[] = {
        {"; mine\r\n[COMSETTINGS]\r\nPORT=2\r\nPARITY=E\r\n\r\n[general]\r\nEnableStrings=-1\r\n",
         "--baud 57600",
         "; mine\r\n[COMSETTINGS]\r\nPORT=2\r\nPARITY=E\r\nBAUD=57600\r\n\r\n[general]\r\nEnableStrings=-1\r\n"
         "[PORTS]\r\nCOM2=" + (folder / "tty").string() + "\r\n"},
        {"[ports]\r\ncom1=/dev/ttyUSB0\r\nCOM3=/dev/x\r\n[COMSETTINGS]\r\nBAUD=9600\r\n", "--baud 57600",
         "[ports]\r\nCOM1=" + (folder / "tty").string() + "\r\nCOM3=/dev/x\r\n[COMSETTINGS]\r\nBAUD=9600\r\n"},
    };
    for (const auto& c : cases) {
        std::FILE* f = std::fopen(ini.c_str(), "wb");
        std::fwrite(c.before.data(), 1, c.before.size(), f);
        std::fclose(f);
        ASSERT_EQ(RunSim("--set-port-in " + ini + " " + (folder / "x/../tty").string() + " " + c.args), 0);
        EXPECT_EQ(ReadAll(ini), c.after);
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace k7::test
