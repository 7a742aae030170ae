// The KORVEN7 emulator on virtual time: frames in, paced replies out, and its fault
// switches, each doing what it says and nothing else.
#include <gtest/gtest.h>

#include <functional>

#include "device/frames.h"
#include "emulator/korven7_emulator.h"

namespace k7::test {
namespace {

using Image = std::array<std::uint8_t, 1024>;
using TimedBytes = std::vector<std::pair<std::int64_t, char>>;
const std::string kErase = EraseFrame(), kFlash = FlashFrame(), kVersion = "KORVEN7 V2.14\r\n";
const std::string kRow0 = "SCAN: 04 = {61}{00}{00}{00}{00}{00}{00}{00}{00}{00}";

// Sends bytes at `at`; every reply byte with the time it reached the host.
TimedBytes Timed(Korven7Emulator& device, const std::string& bytes, std::int64_t at) {
    device.receive(bytes, at);
    TimedBytes got;
    while (auto due = device.nextByteTime())
        for (char c : device.take(*due)) got.emplace_back(*due, c);
    return got;
}
std::string Text(const TimedBytes& timed) {
    std::string s;
    for (const auto& [t, c] : timed) s += c;
    return s;
}

struct Host {
    Korven7Emulator device{9600};
    std::int64_t now = 0;
    // Sends, waits for the whole reply, then pauses 10 ms.
    std::string exchange(const std::string& bytes) {
        const TimedBytes got = Timed(device, bytes, now);
        if (!got.empty()) now = got.back().first;
        now += 10000;
        return Text(got);
    }
};

TEST(Emulator, EraseFillsTheFlashWithFFAndTheLastSlotHasFourBytes) {
    Host host;
    EXPECT_EQ(host.exchange(kErase), "ACK");
    Image erased;
    erased.fill(0xFF);
    EXPECT_EQ(host.device.flash(), erased);
    EXPECT_EQ(host.exchange(ReadBackFrame(0)), "SCAN: 04 = {FF}{FF}{FF}{FF}{FF}{FF}{FF}{FF}{FF}{FF}");
    EXPECT_EQ(host.exchange(ReadBackFrame(102)), "SCAN: 6A = {FF}{FF}{FF}{FF}{00}{00}{00}{00}{00}{00}");
}

TEST(Emulator, FlashCommitsOnlyTheBlocksStagedSinceTheLastFlash) {
    Host host;
    ASSERT_EQ(host.exchange(WriteFrame(0, "xyz")), "ACK");
    ASSERT_EQ(host.exchange(WriteFrame(254, "PQRS")), "ACK");  // straddles blocks 1 and 2
    EXPECT_EQ(host.device.flash(), Korven7Emulator::DefaultImage()) << "staged bytes are not flash yet";
    EXPECT_EQ(host.exchange(ReadBackFrame(0)), kRow0);
    ASSERT_EQ(host.exchange(kFlash), "ACK");
    Image expected = Korven7Emulator::DefaultImage();
    std::copy_n("xyz", 3, expected.begin());
    std::copy_n("PQRS", 4, expected.begin() + 254);
    EXPECT_EQ(host.device.flash(), expected);
    // A second flash with nothing staged changes nothing and is still acknowledged.
    EXPECT_EQ(host.exchange(kFlash), "ACK");
    EXPECT_EQ(host.device.flash(), expected);
}

TEST(Emulator, MalformedFramesGetNoReplyAndTheNextFrameIsHeard) {
    std::string badSum = WriteFrame(0, "abc");
    badSum.back() = static_cast<char>(badSum.back() + 1);
    std::string badEraseKey = kErase;
    badEraseKey[4] = 0x56;
    badEraseKey.back() = static_cast<char>(badEraseKey.back() + 1);  // checksum still right
    const struct { const char* what; std::string bytes; } cases[] = {
        {"bad checksum", badSum},
        {"erase with a wrong key", badEraseKey},
        {"flash with length 7", CommandFrame('F', std::string(3, '\0'))},
        {"write with no data", CommandFrame('W', std::string(3, '\0'))},
        {"write of 11 bytes", WriteFrame(0, "abcdefghijk")},
        {"write beyond 1024", WriteFrame(1020, "abcde")},
        {"write at 1024", WriteFrame(1024, "a")},
        {"read of row 103", ReadBackFrame(103)},
        {"read of row 255", ReadBackFrame(255)},
        {"unknown command", CommandFrame('X', std::string(2, '\0'))},
        {"write without its 00", CommandFrame('W', std::string(2, '\0') + "ab")},
    };
    for (const auto& c : cases) {
        Host host;
        EXPECT_EQ(host.exchange(c.bytes), "") << c.what;
        EXPECT_EQ(host.device.flash(), Korven7Emulator::DefaultImage()) << c.what;
        EXPECT_EQ(host.exchange("/V"), kVersion) << c.what;
    }
    Host host;
    EXPECT_EQ(host.exchange(WriteFrame(1014, "abcdefghij")), "ACK") << "the last full slot fits";
}

TEST(Emulator, FramesInPiecesBackToBackOrCutOffAreHandled) {
    Host host;
    for (char c : WriteFrame(0, "hi") + "/V" + ReadBackFrame(0)) host.device.receive(std::string(1, c), host.now);
    EXPECT_EQ(host.exchange(""), "ACK" + kVersion + kRow0);
    // An incomplete frame is dropped after a pause.
    Host cut;
    cut.device.receive(WriteFrame(0, "abc").substr(0, 5), 0);
    cut.now = Korven7Emulator::kFrameGapUs + 1;
    EXPECT_EQ(cut.exchange("/V"), kVersion);
}

TEST(Emulator, RepliesArePacedAtTenBitsPerByte) {
    for (int baud : {1200, 57600}) {
        Korven7Emulator device(baud);
        device.receive("/V", 5000);
        const std::int64_t first = 5000 + Korven7Emulator::kProcessingUs;
        for (int n = 1; n <= 15; ++n) {
            const std::int64_t due = first + n * 10'000'000LL / baud;
            ASSERT_EQ(device.nextByteTime(), due) << baud << " baud, byte " << n;
            EXPECT_EQ(device.take(due - 1), "") << baud << " baud, byte " << n;
            EXPECT_EQ(device.take(due).size(), 1u) << baud << " baud, byte " << n;
        }
        EXPECT_EQ(device.nextByteTime(), std::nullopt);
    }
    // A second reply waits for the line to be free.
    Korven7Emulator device(9600);
    device.receive("/V/V", 0);
    EXPECT_EQ(device.take(1000 + 15 * 10'000'000LL / 9600), kVersion);
    EXPECT_EQ(device.nextByteTime(), 1000 + 16 * 10'000'000LL / 9600);
}

// Random bytes in random pieces are the fuzz target's job; here, a long run of bytes
// that each could start a frame.
TEST(Emulator, ARunOfGarbageIsOneLogLineAndTheNextFrameIsHeard) {
    Korven7Emulator device(57600);
    device.receive(std::string(1 << 20, '/'), 0);
    device.receive(std::string(1 << 20, 'W'), 0);
    EXPECT_LE(device.log().size(), 3u);
    device.take(10'000'000);
    device.receive("/V", 10'000'000);
    EXPECT_EQ(device.take(11'000'000), kVersion);
}

TEST(EmulatorFault, ChangesOnlyTheRepliesItNames) {
    const std::string row4 = Korven7Emulator::ReadbackReply(Korven7Emulator::DefaultImage(), 4);
    const struct {
        const char* what;
        std::function<void(EmulatorFaults&)> set;
        std::vector<std::pair<std::string, std::string>> exchanges;  // frame -> reply
    } cases[] = {
        {"silent", [](EmulatorFaults& f) { f.silent = true; },
         {{"/V", ""}, {kErase, ""}, {WriteFrame(0, "x"), ""}, {kFlash, ""}, {ReadBackFrame(0), ""}}},
        {"silent rows", [](EmulatorFaults& f) { f.silentRows = {3, 5}; },
         {{ReadBackFrame(3), ""}, {ReadBackFrame(4), row4}, {ReadBackFrame(5), ""}, {"/V", kVersion}}},
        {"other version text", [](EmulatorFaults& f) { f.versionText = "MODEM 3.1\r\n"; },
         {{"/V", "MODEM 3.1\r\n"}, {kFlash, "ACK"}, {ReadBackFrame(0), kRow0}}},
        {"reply one short", [](EmulatorFaults& f) { f.readbackLength = 50; },
         {{ReadBackFrame(0), kRow0.substr(0, 50)}, {"/V", kVersion}, {kFlash, "ACK"}}},
        {"reply one long", [](EmulatorFaults& f) { f.readbackLength = 52; }, {{ReadBackFrame(0), kRow0 + "\r"}}},
        {"scancode 03", [](EmulatorFaults& f) { f.badScancode = 0x03; },
         {{ReadBackFrame(0), "SCAN: 03" + kRow0.substr(8)}}},
        {"scancode 6B", [](EmulatorFaults& f) { f.badScancode = 0x6B; },
         {{ReadBackFrame(0), "SCAN: 6B" + kRow0.substr(8)}, {"/V", kVersion}, {kFlash, "ACK"}}},
    };
    for (const auto& c : cases) {
        Host host;
        c.set(host.device.faults());
        for (const auto& [frame, reply] : c.exchanges) EXPECT_EQ(host.exchange(frame), reply) << c.what;
        EXPECT_EQ(host.device.flash(), Korven7Emulator::DefaultImage()) << c.what;
        EXPECT_EQ(host.device.frames().size(), c.exchanges.size()) << c.what << ": it still hears every frame";
    }
}

TEST(EmulatorFault, NoAckAtFrameLosesExactlyThatFrame) {
    Host host;
    host.device.faults().noAckAtFrame = 3;
    EXPECT_EQ(host.exchange(kErase), "ACK");
    EXPECT_EQ(host.exchange(ReadBackFrame(0)).size(), 51u) << "read-back requests are not counted";
    EXPECT_EQ(host.exchange("/V"), kVersion);
    EXPECT_EQ(host.exchange(WriteFrame(0, "a")), "ACK");
    EXPECT_EQ(host.exchange(WriteFrame(10, "b")), "") << "the third acknowledged frame";
    EXPECT_EQ(host.exchange(WriteFrame(20, "c")), "ACK");
    EXPECT_EQ(host.exchange(kFlash), "ACK");
    const auto& flash = host.device.flash();
    EXPECT_EQ(std::vector({flash[0], flash[10], flash[20]}), std::vector<std::uint8_t>({'a', 0xFF, 'c'}))
        << "the lost frame staged nothing";
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
        for (std::size_t i = 1; i < timed.size(); ++i) {
            const std::int64_t gap = timed[i].first - timed[i - 1].first;
            if (i == c.first.size()) EXPECT_GE(gap, Korven7Emulator::kSplitAckGapUs) << c.what;
            else EXPECT_LE(gap, 10'000'000 / 9600 + 1) << c.what << " byte " << i;
        }
    }
}

TEST(EmulatorFault, SlowRepliesStartLater) {
    for (const std::string& frame : {std::string("/V"), kErase, ReadBackFrame(1)}) {
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
