// The Qt serial port on a bare pseudo-terminal: bytes that arrive while its input is
// quiet do not wake the program, and input() still returns every one of them.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/qt/qt_serial_port.h"
#include "qtsupport/qt_app.h"

namespace k7::test {
namespace {

long MainThreadWaits() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

// Another thread writes `bytes` into the line one at a time, 3 ms apart, while the
// event loop runs; returns how often the loop blocked and was woken meanwhile.
long WakeupsWhileArriving(int master, const std::string& bytes) {
    const long before = MainThreadWaits();
    std::thread writer([&] {
        for (char byte : bytes) {
            ASSERT_EQ(write(master, &byte, 1), 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    });
    QEventLoop loop;
    QTimer::singleShot(int(bytes.size()) * 3 + 30, &loop, &QEventLoop::quit);
    loop.exec();
    writer.join();
    return MainThreadWaits() - before;
}

TEST(QuietInput, ArrivingBytesWakeNothingAndAreAllRead) {
    TestApp();
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    qt::QtSerialPort port;
    port.setPortName(ptsname(master));
    port.setSettings("57600,N,8,1");
    port.open();

    const std::string first = "SCAN: 04 = {61}{00}", second = "SCAN: 05 = {62}{00}";
    port.setInputQuiet(true);
    const long quiet = WakeupsWhileArriving(master, first);
    EXPECT_EQ(port.input(), first);
    port.setInputQuiet(false);
    const long listening = WakeupsWhileArriving(master, second);
    EXPECT_EQ(port.input(), second);

    EXPECT_LE(quiet, 4) << "woken by arriving bytes while quiet";
    EXPECT_GE(listening, long(second.size()) / 2) << "listening again after quiet";
    port.close();
    close(master);
}

}  // namespace
}  // namespace k7::test
