// An operation that fails part-way has logged every line of the exchange before the
// failure, in order, and none after it.
#include <gtest/gtest.h>

#include "device_rig.h"

namespace k7::test {
namespace {

// The port fails from the write after the `nth` frame with command `letter` on.
void FailAfterFrame(Rig& rig, char letter, int nth) {
    rig.port.onOutput = [&rig, letter, nth, seen = 0](const std::string& bytes) mutable {
        if (bytes.size() > 1 && bytes[1] == letter && ++seen == nth) rig.port.failOutput = "The device is gone";
    };
}

// The last `n` lines of the log.
std::vector<std::string> Tail(Rig& rig, std::size_t n) {
    const auto& log = rig.log();
    return {log.end() - std::ptrdiff_t(std::min(n, log.size())), log.end()};
}

TEST(InterruptedLog, EndsWithTheLastExchangeBeforeTheFailure) {
    const struct {
        const char* name;
        const char* button;
        char letter;
        int nth;
        std::vector<std::string> tail;  // the log's last lines
        std::string message;
        int progress;
    } cases[] = {
        {"read, after the second request", "ReadKeys", 'R', 2,
         {"Sent /R{6}{1}{0}{88}", "SCAN: 05 = b{00}{00}{00}{00}{00}{00}{00}{00}{00}"},
         "Error retrieve current key overrides - The device is gone", 1},
        {"send, after the erase", "SendKeys", 'E', 1, {"SENT:/E{9}{AA}{55}{AA}{55}{0}{7B}", "RECVD:ACK"},
         "Error sending to KORVEN7. STRindx=0  IstrPos = 10 The device is gone", 0},
        {"send, after the first write frame", "SendKeys", 'W', 1,
         {"SENT:{0)}  /W{11}{0}{0}{61}{0}{0}{0}{0}{0}{0}{0}{0}{0}{0}{F8}", "RECVD:ACK"},
         "Error sending to KORVEN7. STRindx=1  IstrPos = 10 The device is gone", 1},
        {"send, before the first flash frame", "SendKeys", 'W', 13, {"RECVD:ACK", "Flashing 128 bytes. BLOCK 0"},
         "Error sending to KORVEN7. STRindx=12  IstrPos = 8 The device is gone", 12},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.ui.fake<FakeCheckBox>("clrstat").setChecked(false);
        FailAfterFrame(rig, c.letter, c.nth);
        rig.button(c.button).click();
        EXPECT_EQ(Tail(rig, c.tail.size()), c.tail) << c.name;
        ASSERT_EQ(rig.dialogs.messages.size(), 1u) << c.name;
        EXPECT_EQ(rig.dialogs.messages[0], c.message) << c.name;
        EXPECT_EQ(rig.progress().value(), c.progress) << c.name;
    }
}

}  // namespace
}  // namespace k7::test
