// The KORVEN7 emulator that the other tests talk to: its flash, its frame checks, its
// pace and its fault switches, each doing what it says and nothing else.
#include <gtest/gtest.h>

#include <functional>

#include "device/flash_image.h"
#include "device/frames.h"
#include "emulator/korven7_emulator.h"

namespace k7::test {
namespace {

using Image = std::array<std::uint8_t, 1024>;
const std::string kErase = eraseFrame(), kFlash = flashFrame(), kVersion = "KORVEN7 V2.14\r\n";
const std::string kRow0 = "SCAN: 04 = {61}{00}{00}{00}{00}{00}{00}{00}{00}{00}";

struct Host {
    Korven7Emulator device{9600};
    std::int64_t now = 0;
    // Sends, takes the whole reply, then pauses 10 ms.
    std::string exchange(const std::string& bytes) {
        device.receive(bytes, now);
        std::string got;
        while (auto due = device.nextByteTime()) got += device.take(now = *due);
        now += 10000;
        return got;
    }
};

// The emulator's factory strings and the program's key table are written apart, so a
// slip in either shows here.
TEST(Emulator, LeavesTheFactoryWithTheProgramsDefaultStrings) {
    const Image factory = Korven7Emulator::DefaultImage();
    EXPECT_EQ(std::string(factory.begin(), factory.end()), flashImageOf(defaultKeyTable()));
}

TEST(Emulator, EraseFillsWithFFAndFlashCommitsOnlyTheBlocksStagedSinceTheLastFlash) {
    Host host;
    EXPECT_EQ(host.exchange(kErase), "ACK");
    Image expected;
    expected.fill(0xFF);
    EXPECT_EQ(host.device.flash(), expected);
    EXPECT_EQ(host.exchange(readBackFrame(102)), "SCAN: 6A = {FF}{FF}{FF}{FF}{00}{00}{00}{00}{00}{00}");
    ASSERT_EQ(host.exchange(writeFrame(0, "xyz")), "ACK");
    ASSERT_EQ(host.exchange(writeFrame(254, "PQRS")), "ACK");  // straddles blocks 1 and 2
    EXPECT_EQ(host.device.flash(), expected) << "staged bytes are not flash yet";
    ASSERT_EQ(host.exchange(kFlash), "ACK");
    std::copy_n("xyz", 3, expected.begin());
    std::copy_n("PQRS", 4, expected.begin() + 254);
    EXPECT_EQ(host.device.flash(), expected);
}

TEST(Emulator, MalformedFramesGetNoReplyAndTheNextFrameIsHeard) {
    std::string badSum = writeFrame(0, "abc");
    badSum.back() = char(badSum.back() + 1);
    for (const std::string& frame : {badSum, commandFrame('F', std::string(3, '\0')), writeFrame(0, "abcdefghijk"),
                                     writeFrame(1020, "abcde"), readBackFrame(103), commandFrame('W', "\0\0ab")}) {
        Host host;
        EXPECT_EQ(host.exchange(frame), "");
        EXPECT_EQ(host.device.flash(), Korven7Emulator::DefaultImage());
        EXPECT_EQ(host.exchange("/V"), kVersion);
    }
}

TEST(Emulator, FaultsChangeOnlyTheRepliesTheyName) {
    const std::string row4 = Korven7Emulator::ReadbackReply(Korven7Emulator::DefaultImage(), 4);
    const struct {
        std::function<void(EmulatorFaults&)> set;
        std::vector<std::pair<std::string, std::string>> exchanges;  // frame -> reply
    } cases[] = {
        {[](EmulatorFaults& f) { f.silent = true; }, {{"/V", ""}, {kErase, ""}, {readBackFrame(0), ""}}},
        {[](EmulatorFaults& f) { f.silentRows = {3}; }, {{readBackFrame(3), ""}, {readBackFrame(4), row4}}},
        {[](EmulatorFaults& f) { f.noAckAtFrame = 2; }, {{kFlash, "ACK"}, {"/V", kVersion}, {kFlash, ""}, {kFlash, "ACK"}}},
        {[](EmulatorFaults& f) { f.splitAck = f.textBeforeAck = true; }, {{kFlash, "OK ACK"}}},
        {[](EmulatorFaults& f) { f.readbackLength = 50; }, {{readBackFrame(0), kRow0.substr(0, 50)}}},
        {[](EmulatorFaults& f) { f.badScancode = 0x6B; }, {{readBackFrame(0), "SCAN: 6B" + kRow0.substr(8)}}},
    };
    for (const auto& c : cases) {
        Host host;
        c.set(host.device.faults());
        for (const auto& [frame, reply] : c.exchanges) EXPECT_EQ(host.exchange(frame), reply);
        EXPECT_EQ(host.device.flash(), Korven7Emulator::DefaultImage());
    }
}

}  // namespace
}  // namespace k7::test
