// korven7-sim on a pseudo-terminal, driven with plain POSIX I/O as a serial port would be.
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/sim_process.h"

namespace k7::test {
namespace {

namespace fs = std::filesystem;

int OpenRaw(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

// Writes `bytes`, then reads until `want` characters arrived or `ms` passed.
std::string Exchange(int fd, const std::string& bytes, std::size_t want, int ms = 2000) {
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < want) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        char buffer[256];
        if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0) break;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        got.append(buffer, std::size_t(n));
    }
    return got;
}

const std::string kVersion = "KORVEN7 V2.14\r\n";
const std::string kReadRow0{"\x2F\x52\x06\x00\x00\x87", 6};

TEST(SimOnPty, AnswersAcrossCloseAndReopenAndEndsCleanly) {
    SimProcess sim(57600);
    for (int round = 0; round < 3; ++round) {
        const int fd = OpenRaw(sim.link());
        ASSERT_GE(fd, 0) << "round " << round;
        EXPECT_EQ(Exchange(fd, "/V", kVersion.size()), kVersion) << "round " << round;
        EXPECT_EQ(Exchange(fd, kReadRow0, 51), "SCAN: 04 = {61}{00}{00}{00}{00}{00}{00}{00}{00}{00}");
        // A reply left unread when the port closes is not seen by the next opener.
        EXPECT_EQ(write(fd, "/V", 2), 2);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the server notices the close
    }
    const int fd = OpenRaw(sim.link());
    EXPECT_EQ(Exchange(fd, "/V", kVersion.size() + 1, 300), kVersion) << "no leftovers from the last round";
    close(fd);
    const int status = sim.stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(fs::exists(fs::symlink_status(sim.link()))) << "the link goes with the server";
}

TEST(SimOnPty, FaultsFromTheCommandLine) {
    SimProcess sim(57600, {"--text-before-ack", "--version-text", "ACME 1.0\\r\\n", "--silent-rows", "0,7"});
    const int fd = OpenRaw(sim.link());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(Exchange(fd, "/V", 10), "ACME 1.0\r\n");
    EXPECT_EQ(Exchange(fd, std::string("\x2F\x45\x09\xAA\x55\xAA\x55\x00\x7B", 9), 6), "OK ACK");
    EXPECT_EQ(Exchange(fd, kReadRow0, 51, 300), "");
    close(fd);
}

TEST(SimSetPortIn, PointsTheConfiguredPortAtTheLinkAndKeepsEveryOtherLine) {
    const fs::path folder = fs::temp_directory_path() / ("k7ini" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string ini = (folder / "KORVEN7.ini").string(), tty = (folder / "tty").string();
    const std::pair<std::string, std::string> cases[] = {
        {"; mine\r\n[COMSETTINGS]\r\nPORT=2\r\nPARITY=E\r\n\r\n[general]\r\nEnableStrings=-1\r\n",
         "; mine\r\n[COMSETTINGS]\r\nPORT=2\r\nPARITY=E\r\nBAUD=57600\r\n\r\n[general]\r\nEnableStrings=-1\r\n"
         "[PORTS]\r\nCOM2=" + tty + "\r\n"},
        {"[ports]\r\ncom1=/dev/ttyUSB0\r\nCOM3=/dev/x\r\n[COMSETTINGS]\r\nBAUD=9600\r\n",
         "[ports]\r\nCOM1=" + tty + "\r\nCOM3=/dev/x\r\n[COMSETTINGS]\r\nBAUD=9600\r\n"},
    };
    for (const auto& [before, after] : cases) {
        std::ofstream(ini, std::ios::binary) << before;
        const std::string command = K7_BUILD_DIR "/korven7-sim --set-port-in " + ini + " " +
                                    (folder / "x/../tty").string() + " --baud 57600 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::ostringstream text;
        text << std::ifstream(ini, std::ios::binary).rdbuf();
        EXPECT_EQ(text.str(), after);
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace k7::test
