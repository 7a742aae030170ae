// The engine on virtual time: frames, the link's waits and the four operations against
// the in-process emulator, seen through what the session reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <sstream>
#include <utility>

#include "cfgfile/cfg_file.h"
#include "device/device_session.h"
#include "device/flash_image.h"
#include "device/frames.h"
#include "device/readback.h"
#include "platform/runtime_error.h"
#include "support/fake_port.h"

namespace k7::test {
namespace {

struct Recorder : SessionObserver {
    std::vector<std::string> log, failures;
    std::string shown;  // the caption
    std::optional<VerdictPicture> picture;  // set while a verdict shows
    int alerts = 0, progressValue = -1, progressMax = 0;
    std::function<void(const std::string&)> onLine;  // runs after a line is logged
    std::function<void()> onProgress;                 // runs after the progress moved
    void statusLine(const std::string& line) override { log.push_back(line), onLine ? onLine(line) : void(); }
    void progressShown() override { progressValue = 0; }
    void progressMaximum(int maximum) override { progressMax = maximum; }
    void progress(int value) override { progressValue = value, onProgress ? onProgress() : void(); }
    void progressHidden() override {}
    void caption(const std::string& text) override { shown = text, picture.reset(); }
    void captionHidden() override { shown.clear(), picture.reset(); }
    void verdict(const std::string& text, VerdictPicture p) override { shown = text, picture = p; }
    void failure(const std::string& message) override { failures.push_back(message); }
    void alert() override { ++alerts; }
    int count(const std::string& prefix) const {
        return int(std::count_if(log.begin(), log.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }
    bool logged(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
};

// A session on virtual time with the emulator on its line.
struct Line {
    explicit Line(int baud = 9600) {
        port.attach(&device);
        session.configure("/dev/fake", {baud, 'N', 8, 1});
    }
    VirtualClock clock;
    FakePump pump{clock};
    FakeSerialPort port{clock, pump};
    Korven7Emulator device;
    Recorder seen;
    DeviceSession session{port, pump, seen};
    KeyStringList list;
    double seconds() const { return double(clock.nowUs()) / 1e6; }
};

using Image = std::array<std::uint8_t, 1024>;
Image withSlot(Image image, int row, const std::string& bytes) {
    for (std::size_t i = 0; i < 10; ++i) image[std::size_t(row) * 10 + i] = i < bytes.size() ? bytes[i] : 0;
    return image;
}

TEST(Frames, CarryTheirLengthAndAChecksumOfEveryByteBefore) {
    EXPECT_EQ(eraseFrame(), std::string("\x2F\x45\x09\xAA\x55\xAA\x55\x00\x7B", 9));
    EXPECT_EQ(flashFrame(), std::string("\x2F\x46\x06\x00\x00\x7B", 6));
    EXPECT_EQ(readBackFrame(3), std::string("\x2F\x52\x06\x03\x00\x8A", 6));
    EXPECT_EQ(writeFrame(0x123, "ab"), std::string("\x2F\x57\x09\x01\x23\x61\x62\x00\x76", 9));
    EXPECT_TRUE(isAcknowledged("ACK\r\n"));
    EXPECT_FALSE(isAcknowledged("OK ACK"));
}

TEST(FramePlan, WritesTheWholeImageInSlotsAndBlocksAndFlashesEachBlock) {
    std::string image(kImageSize, '\0');
    std::iota(image.begin(), image.end(), 1);
    std::string written;
    int writes = 0, flashes = 0;
    for (const PlannedFrame& f : framePlan(image)) {
        if (f.flash) {
            EXPECT_EQ(f.end, (flashes + 1) * kBlockSize);
            EXPECT_EQ(int(written.size()), f.end) << "a block is flashed once all its bytes are written";
            ++flashes;
            continue;
        }
        ++writes;
        const int address = (std::uint8_t(f.frame[3]) << 8) | std::uint8_t(f.frame[4]);
        const std::string data = f.frame.substr(5, f.frame.size() - 7);
        EXPECT_EQ(address, int(written.size()));
        EXPECT_EQ(address / kSlotSize, (f.end - 1) / kSlotSize) << "a frame stays within one slot";
        EXPECT_EQ(address / kBlockSize, (f.end - 1) / kBlockSize) << "and within one block";
        written += data;
    }
    EXPECT_EQ(written, image);
    EXPECT_EQ(writes, 109);
    EXPECT_EQ(flashes, 8);
}

TEST(ReadBackReply, NamesTheKeyByItsScancodeAndEndsTheStringAtZero) {
    const KeyRecord key = parseReadBackReply("SCAN: 0f = {48}{69}{00}{41}{00}{00}{00}{00}{00}{00}");
    EXPECT_EQ(key.scancode, 0x0F);
    EXPECT_EQ(key.legend, "L");
    EXPECT_EQ(key.output, "Hi");
    EXPECT_THROW(parseReadBackReply("SCAN: 03 = {41}{00}{00}{00}{00}{00}{00}{00}{00}{00}"), RuntimeError);
    EXPECT_THROW(parseReadBackReply("SCAN: 04 = {4G}{00}{00}{00}{00}{00}{00}{00}{00}{00}"), RuntimeError);
    // The last scancode a reply may name, with a string of all ten bytes.
    const KeyRecord last = parseReadBackReply("SCAN: 6A = {30}{31}{32}{33}{34}{35}{36}{37}{38}{39}");
    EXPECT_EQ(last.scancode, 106);
    EXPECT_EQ(last.output, "0123456789");
    EXPECT_EQ(last.legend, defaultKeyTable()[kTableRows - 1].legend);
    EXPECT_THROW(parseReadBackReply("SCAN: 6B = {41}{00}{00}{00}{00}{00}{00}{00}{00}{00}"), MalformedReply);
}

TEST(Link, WaitsFollowTheLineRate) {
    EXPECT_EQ(lineWaitMs(65, 9600), 81);
    EXPECT_EQ(lineWaitMs(65, 57600), 25);  // never below 25 ms
    EXPECT_EQ(lineWaitMs(20, 1200), 200);
    EXPECT_EQ(settleMs(9600), 40);
    EXPECT_EQ(settleMs(4800), 90);
}

TEST(Link, AnAcknowledgementEndsTheWaitAsSoonAsItIsWholeAndSilenceAtTheTimeOut) {
    Line line;
    line.port.attach(nullptr);
    line.port.open();
    line.port.arriveAt(10'000, "A");  // within the settle: read at its end only
    line.port.arriveAt(55'000, "C");
    line.port.arriveAt(63'000, "K");
    line.session.link().startAck(500);
    EXPECT_EQ(line.session.link().finishAck(500), "ACK");
    EXPECT_EQ(line.clock.nowUs(), 63'000);
    line.session.link().startAck(500);
    EXPECT_EQ(line.session.link().finishAck(500), "");
    EXPECT_NEAR(line.clock.nowUs(), 563'000, 10'000);
}

// Bytes a late or unexpected reply leaves on the line are neither the next request's answer
// nor in it; the log tells of them after the exchange they followed.
TEST(Link, InputLeftOnTheLineIsDiscardedBeforeTheNextRequestAndLoggedInItsPlace) {
    for (const char* lineBefore : {"Erasing Flash Page1 ..", "KORVEN7 device is attached"}) {
        Line line;
        line.seen.onLine = [&](const std::string& l) { l == lineBefore ? line.port.arriveAt(line.clock.nowUs(), "xy") : void(); };
        EXPECT_TRUE(lineBefore[0] == 'E' ? line.session.send(line.list).verified()
                                         : line.session.read().unreadRows.empty());
        EXPECT_EQ(line.seen.count("Discarded 2 bytes from the line"), 1) << lineBefore;
    }
    Line line;
    line.seen.onProgress = [&, once = false]() mutable {  // a byte comes while the window repaints
        if (std::exchange(once, true)) return;
        line.port.arriveAt(line.clock.nowUs() + 1, "x");
        line.clock.advanceTo(line.clock.nowUs() + 2);
    };
    EXPECT_TRUE(line.session.send(line.list).verified());
    const auto& log = line.seen.log;
    const auto discarded = std::find(log.begin(), log.end(), "Discarded 1 byte from the line");
    ASSERT_NE(discarded, log.end());
    EXPECT_EQ(discarded[-1] + "|" + discarded[1].substr(0, 6), "RECVD:ACK|SENT:{");
}

TEST(Probe, TriesThreeTimesOnASilentLineThenAlerts) {
    Line line;
    line.device.faults().silent = true;
    EXPECT_EQ(line.session.link().probeDevice().kind, OutcomeKind::NoVersionReply);
    EXPECT_EQ(line.port.sent, "/V/V/V");
    EXPECT_EQ(line.seen.alerts, 1);
    EXPECT_EQ(line.seen.log.back(), "KORVEN7 not attached ???");
    EXPECT_FALSE(line.port.isOpen());
}

TEST(Send, WritesTheListOverTheDefaultsAndVerifiesIt) {
    Line line;
    line.list.add({"B", "Hi{0D}"});
    line.list.add({"KPdel", "{7B}"});
    const SendResult result = line.session.send(line.list);
    EXPECT_EQ(result.outcome, OperationOutcome{});
    EXPECT_TRUE(result.eraseSent && result.written);
    Image expected = withSlot(withSlot(Korven7Emulator::DefaultImage(), 1, "Hi\r"), 95, "{");
    EXPECT_EQ(line.device.flash(), expected);
    const auto& log = line.seen.log;
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(std::vector(log.begin(), log.begin() + 4),
              (std::vector<std::string>{"KORVEN7 device is attached", std::string(27, '-'), "Erasing Flash Page1 ..",
                                        "SENT:/E{9}{AA}{55}{AA}{55}{0}{7B}"}));
    EXPECT_EQ(log[4], "RECVD:ACK");
    EXPECT_EQ(log[5], "SENT:{0)}  /W{11}{0}{0}{61}{0}{0}{0}{0}{0}{0}{0}{0}{0}{0}{F8}");
    EXPECT_EQ(line.seen.count("SENT:{"), 109);
    EXPECT_EQ(line.seen.count("RECVD:ACK"), 1 + 109 + 8);
    EXPECT_TRUE(line.seen.logged("Flashing 128 bytes. BLOCK 7"));
    EXPECT_EQ(line.seen.shown, "KORVEN7 strings VERIFIED!");
    EXPECT_EQ(line.seen.picture, VerdictPicture::Checkmark);
    EXPECT_TRUE(line.seen.failures.empty());
    EXPECT_FALSE(line.port.isOpen());
    // Each frame's wait ends with its acknowledgement: the settle and the reply, not the time-out.
    EXPECT_LT(line.seconds(), 16.0);
}

TEST(Send, AMissingAcknowledgementEndsTheWritingAndTheVerifyShowsTheResult) {
    Line line;
    line.device.faults().noAckAtFrame = 4;  // the third write frame
    const SendResult result = line.session.send(line.list);
    EXPECT_EQ(result.outcome, noAcknowledgement("the write frame of slot 2"));
    EXPECT_TRUE(result.eraseSent);
    EXPECT_EQ(line.seen.count("SENT:{"), 3);
    EXPECT_TRUE(line.seen.logged("No ACK .. RECVD:"));
    EXPECT_EQ(result.verify.outcome.kind, OutcomeKind::Differs);
    EXPECT_EQ(line.seen.picture, VerdictPicture::QuestionMark);
}

TEST(Send, AnEraseWithoutAcknowledgementEndsItAndOnlyAReplyStartingWithAckCounts) {
    Line line;
    line.device.faults().textBeforeAck = true;
    const SendResult result = line.session.send(line.list);
    EXPECT_EQ(result.outcome.frame, "the erase frame");
    EXPECT_TRUE(result.eraseSent && line.session.eraseSent());  // the keyboard may have erased
    EXPECT_EQ(line.seen.log.back(), "No ACK .. RECVD: OK ACK");
    EXPECT_FALSE(line.seen.logged("Read Operation Requested"));
    EXPECT_FALSE(line.port.isOpen());
}

TEST(Send, AbortEndsItAfterTheBlockBeingWritten) {
    Line line;
    line.pump.at(1'500'000, [&] { line.session.requestAbort(); });
    const SendResult result = line.session.send(line.list);
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Stopped);
    const int flashed = line.seen.count("Flashing 128 bytes");
    EXPECT_GE(flashed, 1);
    EXPECT_LT(flashed, 8);
    // Nothing is written after the last flash.
    const auto& log = line.seen.log;
    auto last = [&](const std::string& prefix) {
        return std::find_if(log.rbegin(), log.rend(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    };
    EXPECT_GT(last("SENT:{"), last("Flashing"));
    EXPECT_TRUE(line.seen.logged("Read Operation Requested"));  // the verify still runs
}

TEST(Send, AListThatCannotBeWrittenFailsBeforeAnythingReachesTheDevice) {
    Line line;
    line.list.replace({{"A", "{ZZ}"}});
    const SendResult result = line.session.send(line.list);
    EXPECT_FALSE(result.eraseSent);
    EXPECT_EQ(result.outcome, outcomeOf(OutcomeKind::LineError, "Type mismatch"));
    EXPECT_EQ(line.seen.failures, std::vector<std::string>{"Error sending to KORVEN7. STRindx=0  IstrPos = 0 Type mismatch"});
    EXPECT_EQ(line.port.sent, "");
}

TEST(Read, NonDefaultStringsComeBackInRowOrderAndUnansweredKeysAreNamed) {
    Line line;
    line.device.setFlash(withSlot(withSlot(Korven7Emulator::DefaultImage(), 36, "{x\x01"), 0, "zyxwvutsrq"));
    line.device.faults().silentRows = {5};
    const ReadResult result = line.session.read();
    EXPECT_EQ(result.outcome, outcomeOf(OutcomeKind::KeysUnanswered, "1 key did not answer: F"));
    EXPECT_EQ(result.customStrings, (std::vector<KeyString>{{"A", "zyxwvutsrq"}, {"ENTER", "{7B}x{01}"}}));
    EXPECT_EQ(result.unreadRows, std::vector<int>{5});
    EXPECT_TRUE(line.seen.logged("!NO REPLY!\tKey(5) F"));
    EXPECT_TRUE(line.seen.logged("2 KORVEN7 contains 2 custom strings"));
    EXPECT_TRUE(line.seen.logged("1 key did not answer"));
    EXPECT_EQ(line.seen.shown, "2 Custom strings found in KORVEN7 ");
    EXPECT_EQ(line.seen.picture, VerdictPicture::QuestionMark);
    EXPECT_EQ(line.seen.count("Sent /R"), 96);
    EXPECT_EQ(line.seen.progressValue, 95);
    // The probe's version wait, each request's time on the line, then the pass's settle.
    EXPECT_EQ(line.clock.nowUs(), (25 + 96 * 81 + 2000) * 1000LL);
}

TEST(Read, FastRepliesEndEachWaitOnceTheReplyIsWhole) {
    Line line;
    line.session.link().setFastReplies(true);
    line.device.setFlash(withSlot(Korven7Emulator::DefaultImage(), 0, "zz"));
    EXPECT_EQ(line.session.read().customStrings, (std::vector<KeyString>{{"A", "zz"}}));
    // Each exchange: the device's millisecond, then the reply at 10 bits a byte.
    const double exchangeMs = 1 + 10.0 * 51 * 1000 / 9600;
    EXPECT_LT(line.seconds() * 1000, 25 + 96 * (exchangeMs + 1));
    // A reply wakes the program a few times, not once for every byte that arrives.
    EXPECT_LT(line.pump.waits, 96 * 5);
    EXPECT_EQ(line.session.version().text, "KORVEN7 V2.14\r\n");
    // A reply that goes on past its 51 characters shifts the next one: that key is unread
    // rather than read wrongly.
    line.device.faults().readbackLength = 52;
    const ReadResult shifted = line.session.read();
    EXPECT_EQ(shifted.customStrings, (std::vector<KeyString>{{"A", "zz"}}));
    EXPECT_EQ(shifted.unreadRows.size(), 48u);
}

TEST(Read, GarbledRepliesAreUnreadAndABadScancodeEndsTheRead) {
    Line line;
    for (int length : {50, 52}) {
        line.device.faults().readbackLength = length;
        EXPECT_EQ(line.session.read().unreadRows.size(), 96u) << length;
    }
    EXPECT_EQ(line.seen.log.back() + "|" + line.seen.shown, "96 keys did not answer|96 KORVEN7 keys did not answer");
    EXPECT_EQ(line.seen.picture, VerdictPicture::QuestionMark);
    line.device.faults() = {};
    line.device.faults().badScancode = 3;
    EXPECT_EQ(line.session.read().outcome.kind, OutcomeKind::MalformedReply);
    EXPECT_EQ(line.seen.failures.back(), "Error retrieve current key overrides - Subscript out of range");
    EXPECT_FALSE(line.port.isOpen());
}

TEST(Verify, ComparesEveryKeyWithTheListAndASilentKeyFails) {
    Line line;
    line.device.setFlash(withSlot(Korven7Emulator::DefaultImage(), 0, "b"));
    line.device.faults().silentRows = {95};
    line.list.add({"A", "a"});
    const VerifyResult result = line.session.verify(line.list);
    ASSERT_EQ(result.differences.size(), 2u);
    EXPECT_EQ(result.differences[0].found.output, "b");
    EXPECT_EQ(result.differences[1].found.scancode, 0);
    EXPECT_TRUE(line.seen.logged("!FAILED!\tKey(0) A  Readback String b <>  a"));
    EXPECT_EQ(line.seen.shown, "2 KORVEN7 strings FAILED to match list");
    EXPECT_EQ(line.seen.picture, VerdictPicture::QuestionMark);
    line.list.replace({{"A", "b"}});
    line.device.faults().silentRows.clear();
    EXPECT_TRUE(line.session.verify(line.list).differences.empty());
    EXPECT_EQ(line.seen.shown, "KORVEN7 strings VERIFIED!");
}

TEST(Version, LogsTheReplyOrQuestionMarksOnASilentLine) {
    Line line;
    line.port.arriveAt(0, "LATE");
    EXPECT_EQ(line.session.version().text, "KORVEN7 V2.14\r\n");
    EXPECT_EQ(line.seen.log, (std::vector<std::string>{"Requesting Version", "Version = KORVEN7 V2.14\r\n"}));
    line.device.faults().silent = true;
    EXPECT_EQ(line.session.version().outcome.kind, OutcomeKind::NoVersionReply);
    EXPECT_EQ(line.seen.log.back(), "Version = ???");
    line.port.failOpen = {PortFailure::Missing, "No such file or directory"};
    EXPECT_EQ(line.session.version().outcome, outcomeOf(OutcomeKind::PortMissing, "no such device (unplugged?)"));
    EXPECT_EQ(line.seen.failures.back(), "Error getting code version. No such file or directory");
}

// Every key's string, the three keys without a legend on the keyboard included, comes back
// from the keyboard and through a file under the key's own name.
TEST(RoundTrip, EveryKeysStringSurvivesSendReadVerifySaveAndOpen) {
    Line line;
    const KeyTable table = defaultKeyTable();
    for (int row = 0; row < kKeyRows; ++row) line.list.add({table[std::size_t(row)].legend, "k" + std::to_string(row) + "{0D}"});
    ASSERT_EQ(line.list.size(), kKeyRows);
    EXPECT_TRUE(line.session.send(line.list).verified());
    const ReadResult read = line.session.read();
    EXPECT_EQ(read.customStrings, line.list.entries());
    std::istringstream file(cfgFileText(read.customStrings, "now"));
    KeyStringList opened;
    opened.replace(readCfgFile(file).entries);
    EXPECT_EQ(opened.entries(), line.list.entries());
    EXPECT_TRUE(line.session.verify(opened).differences.empty());
}

// A keyboard behind a slow adapter: its replies begin late and are still arriving when
// their wait ends. With a keyboard that answers at once the timing is unchanged (above).
TEST(LateReplies, AReplyUnderWayIsAwaitedAndTheProbesOwedAnswersAreDiscarded) {
    for (bool fast : {false, true}) {
        Line line(57600);
        line.session.link().setFastReplies(fast);
        line.device.faults().extraDelayMs = 20;
        line.list.add({"A", "late"});
        EXPECT_TRUE(line.session.send(line.list).verified()) << fast;
        EXPECT_EQ(line.session.read().customStrings, line.list.entries()) << fast;
        EXPECT_EQ(line.seen.count("Discarded"), 0) << fast;
    }
    // Later still: the probe asks again and takes the first answer; the second is let in
    // and discarded instead of landing in the erase's wait.
    Line line(57600);
    line.device.faults().extraDelayMs = 30;
    EXPECT_TRUE(line.session.send(line.list).written);
    EXPECT_EQ(std::vector(line.seen.log.begin(), line.seen.log.begin() + 3),
              (std::vector<std::string>{"Discarded 15 bytes from the line", "KORVEN7 device is attached", std::string(27, '-')}));
}

}  // namespace
}  // namespace k7::test
