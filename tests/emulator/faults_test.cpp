// Each fault switch of the emulator does what it says, and nothing else.
#include <gtest/gtest.h>

#include "emulator/host.h"

namespace k7::test {
namespace {

TEST(EmulatorFault, SilentAnswersNothingAndKeepsItsFlash) {
    Host host;
    Korven7Emulator& device = host.device;
    device.faults().silent = true;
    for (const std::string& frame : {std::string("/V"), kErase, Write(0, "x"), kFlash, Read(0)})
        EXPECT_EQ(host.exchange(frame), "") << frame;
    EXPECT_EQ(device.flash(), Korven7Emulator::DefaultImage());
    EXPECT_EQ(device.frames().size(), 5u) << "it still hears the frames";
}

TEST(EmulatorFault, SilentRowsGetNoReplyOthersDo) {
    Host host;
    Korven7Emulator& device = host.device;
    device.faults().silentRows = {3, 5};
    EXPECT_EQ(host.exchange(Read(3)), "");
    EXPECT_EQ(host.exchange(Read(4)).substr(0, 8), "SCAN: 08");
    EXPECT_EQ(host.exchange(Read(5)), "");
    EXPECT_EQ(host.exchange("/V"), kVersion);
    EXPECT_EQ(host.exchange(Read(0)), kRow0);
}

TEST(EmulatorFault, NoAckAtFrameLosesExactlyThatFrame) {
    Host host;
    Korven7Emulator& device = host.device;
    device.faults().noAckAtFrame = 3;
    EXPECT_EQ(host.exchange(kErase), "ACK");
    EXPECT_EQ(host.exchange(Read(0)).size(), 51u) << "read-back requests are not counted";
    EXPECT_EQ(host.exchange("/V"), kVersion);
    EXPECT_EQ(host.exchange(Write(0, "a")), "ACK");
    EXPECT_EQ(host.exchange(Write(10, "b")), "") << "the third acknowledged frame";
    EXPECT_EQ(host.exchange(Write(20, "c")), "ACK");
    EXPECT_EQ(host.exchange(kFlash), "ACK");
    EXPECT_EQ(device.flash()[0], 'a');
    EXPECT_EQ(device.flash()[10], 0xFF) << "the lost frame staged nothing";
    EXPECT_EQ(device.flash()[20], 'c');
}

TEST(EmulatorFault, AcknowledgementShapes) {
    const struct { const char* what; bool split, textBefore; std::string first, second; } cases[] = {
        {"plain", false, false, "ACK", ""},
        {"split", true, false, "AC", "K"},
        {"text before", false, true, "OK ACK", ""},
        {"both", true, true, "OK AC", "K"},
    };
    for (const auto& c : cases) {
        Korven7Emulator device(9600);
        device.faults().splitAck = c.split;
        device.faults().textBeforeAck = c.textBefore;
        const auto timed = Timed(device, kErase, 0);
        ASSERT_EQ(Text(timed), c.first + c.second) << c.what;
        const std::int64_t byteUs = 10'000'000 / 9600;
        for (std::size_t i = 1; i < timed.size(); ++i) {
            const std::int64_t gap = timed[i].first - timed[i - 1].first;
            if (i == c.first.size()) EXPECT_GE(gap, Korven7Emulator::kSplitAckGapUs) << c.what;
            else EXPECT_LE(gap, byteUs + 1) << c.what << " byte " << i;
        }
    }
}

TEST(EmulatorFault, OtherVersionText) {
    Host host;
    Korven7Emulator& device = host.device;
    device.faults().versionText = "MODEM 3.1\r\n";
    EXPECT_EQ(host.exchange("/V"), "MODEM 3.1\r\n");
    EXPECT_EQ(host.exchange(kErase), "ACK");
}

TEST(EmulatorFault, GarbledReadBackReplies) {
    const struct { int length; std::optional<int> scancode; std::string reply; } cases[] = {
        {50, std::nullopt, kRow0.substr(0, 50)},
        {52, std::nullopt, kRow0 + "\r"},
        {51, 0x03, "SCAN: 03" + kRow0.substr(8)},
        {51, 0x6B, "SCAN: 6B" + kRow0.substr(8)},
    };
    for (const auto& c : cases) {
        Host host;
    Korven7Emulator& device = host.device;
        device.faults().readbackLength = c.length;
        device.faults().badScancode = c.scancode;
        EXPECT_EQ(host.exchange(Read(0)), c.reply) << c.length;
        EXPECT_EQ(host.exchange("/V"), kVersion) << "only read-back replies change";
        EXPECT_EQ(host.exchange(kFlash), "ACK");
    }
}

TEST(EmulatorFault, SlowRepliesStartLater) {
    for (const std::string& frame : {std::string("/V"), kErase, Read(1)}) {
        Korven7Emulator normal(57600), slow(57600);
        slow.faults().extraDelayMs = 30;
        const auto a = Timed(normal, frame, 0);
        const auto b = Timed(slow, frame, 0);
        ASSERT_EQ(Text(a), Text(b));
        ASSERT_FALSE(a.empty());
        for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(b[i].first - a[i].first, 30'000) << frame;
    }
}

}  // namespace
}  // namespace k7::test
