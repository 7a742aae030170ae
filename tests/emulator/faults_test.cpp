// Each fault switch of the emulator does what it says, and nothing else.
#include <gtest/gtest.h>

#include "emulator/korven7_emulator.h"

namespace k7::test {
namespace {

std::string Frame(char letter, const std::string& payload) {
    std::string f = std::string("/") + letter + static_cast<char>(payload.size() + 4) + payload;
    unsigned sum = 0;
    for (char c : f) sum += static_cast<std::uint8_t>(c);
    return f + static_cast<char>(sum & 0xFF);
}
const std::string kErase = Frame('E', "\xAA\x55\xAA\x55" + std::string(1, '\0'));
const std::string kFlash = Frame('F', std::string(2, '\0'));
std::string Write(int address, const std::string& data) {
    return Frame('W', std::string{static_cast<char>(address / 256), static_cast<char>(address % 256)} + data +
                          std::string(1, '\0'));
}
std::string Read(int row) { return Frame('R', std::string{static_cast<char>(row), '\0'}); }
const std::string kRow0 = "SCAN: 04 = {61}{00}{00}{00}{00}{00}{00}{00}{00}{00}";

// Sends bytes at `at` and returns each reply byte with the time it reached the host.
std::vector<std::pair<std::int64_t, char>> Timed(Korven7Emulator& device, const std::string& bytes, std::int64_t at) {
    device.receive(bytes, at);
    std::vector<std::pair<std::int64_t, char>> got;
    while (auto due = device.nextByteTime())
        for (char c : device.take(*due)) got.emplace_back(*due, c);
    return got;
}
std::string Text(const std::vector<std::pair<std::int64_t, char>>& timed) {
    std::string s;
    for (auto& [t, c] : timed) s += c;
    return s;
}
std::string Say(Korven7Emulator& device, const std::string& bytes) {
    static std::int64_t now = 0;
    now += 1'000'000;
    return Text(Timed(device, bytes, now));
}

TEST(EmulatorFault, SilentAnswersNothingAndKeepsItsFlash) {
    Korven7Emulator device;
    device.faults().silent = true;
    for (const std::string& frame : {std::string("/V"), kErase, Write(0, "x"), kFlash, Read(0)})
        EXPECT_EQ(Say(device, frame), "") << frame;
    EXPECT_EQ(device.flash(), Korven7Emulator::DefaultImage());
    EXPECT_EQ(device.frames().size(), 5u) << "it still hears the frames";
}

TEST(EmulatorFault, SilentRowsGetNoReplyOthersDo) {
    Korven7Emulator device;
    device.faults().silentRows = {3, 5};
    EXPECT_EQ(Say(device, Read(3)), "");
    EXPECT_EQ(Say(device, Read(4)).substr(0, 8), "SCAN: 08");
    EXPECT_EQ(Say(device, Read(5)), "");
    EXPECT_EQ(Say(device, "/V"), "KORVEN7 V2.14\r\n");
    EXPECT_EQ(Say(device, Read(0)), kRow0);
}

TEST(EmulatorFault, NoAckAtFrameLosesExactlyThatFrame) {
    Korven7Emulator device;
    device.faults().noAckAtFrame = 3;
    EXPECT_EQ(Say(device, kErase), "ACK");
    EXPECT_EQ(Say(device, Read(0)).size(), 51u) << "read-back requests are not counted";
    EXPECT_EQ(Say(device, "/V"), "KORVEN7 V2.14\r\n");
    EXPECT_EQ(Say(device, Write(0, "a")), "ACK");
    EXPECT_EQ(Say(device, Write(10, "b")), "") << "the third acknowledged frame";
    EXPECT_EQ(Say(device, Write(20, "c")), "ACK");
    EXPECT_EQ(Say(device, kFlash), "ACK");
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
    Korven7Emulator device;
    device.faults().versionText = "MODEM 3.1\r\n";
    EXPECT_EQ(Say(device, "/V"), "MODEM 3.1\r\n");
    EXPECT_EQ(Say(device, kErase), "ACK");
}

TEST(EmulatorFault, GarbledReadBackReplies) {
    const struct { int length; std::optional<int> scancode; std::string reply; } cases[] = {
        {50, std::nullopt, kRow0.substr(0, 50)},
        {52, std::nullopt, kRow0 + "\r"},
        {51, 0x03, "SCAN: 03" + kRow0.substr(8)},
        {51, 0x6B, "SCAN: 6B" + kRow0.substr(8)},
    };
    for (const auto& c : cases) {
        Korven7Emulator device;
        device.faults().readbackLength = c.length;
        device.faults().badScancode = c.scancode;
        EXPECT_EQ(Say(device, Read(0)), c.reply) << c.length;
        EXPECT_EQ(Say(device, "/V"), "KORVEN7 V2.14\r\n") << "only read-back replies change";
        EXPECT_EQ(Say(device, kFlash), "ACK");
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
