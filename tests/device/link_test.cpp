// The serial link on virtual time: acknowledgement wait, delays, version request and
// the attachment probe, against a line the test scripts.
#include <gtest/gtest.h>

#include "device/frames.h"
#include "support/rig.h"

namespace k7::test {
namespace {

constexpr std::int64_t kMs = 1000;

// A rig whose serial line carries only what the test puts on it.
struct LinkRig : Rig {
    explicit LinkRig(const std::string& baud = "9600") {
        port.attach(nullptr);
        form->BaudSetting = baud;
    }
    // Runs GetACK(ms) on the open port; returns the reply and the time it took.
    std::pair<std::string, std::int64_t> getAck(int ms) {
        if (!port.isOpen()) port.open();
        const std::int64_t start = clock.nowUs();
        std::string reply = form->GetACK(ms);
        return {reply, clock.nowUs() - start};
    }
};

TEST(Frames, CarryLengthPayloadAndChecksum) {
    const struct {
        std::string frame, bytes;
    } cases[] = {
        {EraseFrame(), std::string("\x2F\x45\x09\xAA\x55\xAA\x55\x00\x7B", 9)},
        {FlashFrame(), std::string("\x2F\x46\x06\x00\x00\x7B", 6)},
        {ReadBackFrame(0), std::string("\x2F\x52\x06\x00\x00\x87", 6)},
        {ReadBackFrame(95), std::string("\x2F\x52\x06\x5F\x00\xE6", 6)},
        {WriteFrame(0, std::string("a") + std::string(9, '\0')),
         std::string("\x2F\x57\x11\x00\x00\x61", 6) + std::string(10, '\0') + "\xF8"},
        {WriteFrame(1020, std::string(4, '\0')), std::string("\x2F\x57\x0B\x03\xFC\x00\x00\x00\x00\x00\x90", 11)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.frame, c.bytes);
    EXPECT_STREQ(kVersionRequest, "/V");
}

TEST(Frames, AnAcknowledgementMustStartTheReply) {
    EXPECT_TRUE(Acknowledged("ACK"));
    EXPECT_TRUE(Acknowledged("ACK\r\nmore"));
    EXPECT_FALSE(Acknowledged("OK ACK"));
    EXPECT_FALSE(Acknowledged("AC"));
    EXPECT_FALSE(Acknowledged(""));
}

TEST(GetAck, ReturnsAsSoonAsTheJoinedTextHoldsAck) {
    const struct {
        const char* name;
        std::vector<std::pair<std::int64_t, std::string>> line;
        std::string reply;
        std::int64_t tookUs;
    } cases[] = {
        {"in two pieces", {{45 * kMs, "AC"}, {61'300, "K"}}, "ACK", 61'300},
        {"text before", {{70 * kMs, "OK ACK"}}, "OK ACK", 70 * kMs},
        {"text after", {{70 * kMs, "ACK\r\nREADY"}}, "ACK\r\nREADY", 70 * kMs},
        {"arrived while settling", {{5 * kMs, "ACK"}}, "ACK", 40 * kMs},
        {"garbage, then ACK", {{50 * kMs, "xx"}, {300 * kMs, "ACK"}}, "xxACK", 300 * kMs},
    };
    for (const auto& c : cases) {
        LinkRig rig;
        for (const auto& [at, bytes] : c.line) rig.port.arriveAt(at, bytes);
        const auto [reply, took] = rig.getAck(500);
        EXPECT_EQ(reply, c.reply) << c.name;
        EXPECT_EQ(took, c.tookUs) << c.name;
        EXPECT_FALSE(rig.ui.timer("ResponseTimer").enabled()) << c.name;
    }
}

TEST(GetAck, GivesUpAfterTheTimeOutWithWhatItHas) {
    for (int ms : {500, 1000}) {
        LinkRig rig;
        rig.port.arriveAt(100 * kMs, "NAK");
        const auto [reply, took] = rig.getAck(ms);
        EXPECT_EQ(reply, "NAK");
        EXPECT_EQ(took, ms * kMs);
        // One wake-up per tick and one for the byte: it blocks, it does not poll.
        EXPECT_LE(rig.pump.waits, ms / 10 + 2);
    }
}

TEST(GetAck, SettlesLongerBelow9600Baud) {
    const struct {
        const char* baud;
        std::int64_t settleMs;
    } cases[] = {{"1200", 90}, {"4800", 90}, {"9600", 40}, {"57600", 40}};
    for (const auto& c : cases) {
        LinkRig rig(c.baud);
        rig.port.arriveAt(1 * kMs, "ACK");
        EXPECT_EQ(rig.getAck(500).second, c.settleMs * kMs) << c.baud;
    }
}

TEST(GetAck, ReportsAPortThatCannotBeRead) {
    LinkRig rig;
    EXPECT_EQ(rig.form->GetACK(500), "");
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0], "Error while awaiting ACKnowledge Operation valid only when the port is open");

    LinkRig badBaud("fast");
    EXPECT_EQ(badBaud.getAck(500).first, "");
    EXPECT_EQ(badBaud.dialogs.messages, std::vector<std::string>{"Error while awaiting ACKnowledge Type mismatch"});
}

TEST(Delay, ReturnsAfterItsTimeWithOneWakeUp) {
    for (int ms : {1, 25, 200, 2000}) {
        LinkRig rig;
        const int waitsBefore = rig.pump.waits;
        rig.form->Delay(ms);
        EXPECT_EQ(rig.clock.nowUs(), ms * kMs);
        EXPECT_EQ(rig.pump.waits - waitsBefore, 1);
        EXPECT_FALSE(rig.ui.timer("DelayTimer").enabled());
    }
}

TEST(Delay, AbortDoesNotShortenIt) {
    LinkRig rig;
    rig.pump.at(50 * kMs, [&] { rig.form->AbortBrn_Click(); });
    rig.form->Delay(200);
    EXPECT_EQ(rig.clock.nowUs(), 200 * kMs);
    EXPECT_EQ(rig.form->AbortFlag, -1);
}

TEST(GetCodeVersion, WaitsForTwentyCharactersOfTheLine) {
    const struct {
        const char* baud;
        std::int64_t waitMs;
    } cases[] = {{"1200", 200}, {"2400", 100}, {"4800", 50}, {"9600", 25}, {"19200", 25}, {"57600", 25}};
    for (const auto& c : cases) {
        LinkRig rig(c.baud);
        EXPECT_EQ(rig.form->GetCodeVersion(), "???") << c.baud;
        EXPECT_EQ(rig.clock.nowUs(), c.waitMs * kMs) << c.baud;
        EXPECT_EQ(rig.port.sent, "/V");
        EXPECT_FALSE(rig.port.isOpen());
        EXPECT_EQ(rig.port.opens, 1);
    }
}

TEST(GetCodeVersion, ReturnsTheReplyAsItCame) {
    LinkRig rig;
    rig.port.arriveAt(8 * kMs, "KORVEN7 V2.14\r\n");
    EXPECT_EQ(rig.form->GetCodeVersion(), "KORVEN7 V2.14\r\n");
}

TEST(GetCodeVersion, ReportsAPortThatCannotBeOpened) {
    LinkRig rig;
    rig.port.failOpen = "Port is in use";
    EXPECT_EQ(rig.form->GetCodeVersion(), "");
    EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{"Error getting code version. Port is in use"});
    EXPECT_FALSE(rig.port.isOpen());

    LinkRig badBaud("0");
    EXPECT_EQ(badBaud.form->GetCodeVersion(), "");
    EXPECT_FALSE(badBaud.port.isOpen());
    ASSERT_EQ(badBaud.dialogs.messages.size(), 1u);
    EXPECT_EQ(badBaud.dialogs.messages[0].rfind("Error getting code version. ", 0), 0u);
}

TEST(CheckAttachment, TriesThreeTimesThenBeepsAndLogsTheLastReply) {
    const struct {
        const char* name;
        std::vector<std::pair<std::int64_t, std::string>> line;
        bool attached;
        std::vector<std::string> log;
        int requests;
    } cases[] = {
        {"silent line", {}, false, {"KORVEN7 not attached ???"}, 3},
        {"other device", {{5 * kMs, "X1"}, {30 * kMs, "X2"}, {55 * kMs, "OTHERKBD V1"}}, false,
         {"KORVEN7 not attached OTHERKBD V1"}, 3},
        {"answers at once", {{5 * kMs, "KORVEN7 V2.14\r\n"}}, true,
         {"KORVEN7 device is attached", "---------------------------"}, 1},
        {"answers the third request", {{55 * kMs, "KORVEN7 V2.14"}}, true,
         {"KORVEN7 device is attached", "---------------------------"}, 3},
        {"lower case name", {{5 * kMs, "korven7"}}, false, {"KORVEN7 not attached ???"}, 3},
    };
    for (const auto& c : cases) {
        LinkRig rig;
        for (const auto& [at, bytes] : c.line) rig.port.arriveAt(at, bytes);
        EXPECT_EQ(rig.form->CheckAttachment(), c.attached) << c.name;
        EXPECT_EQ(rig.log(), c.log) << c.name;
        EXPECT_EQ(rig.port.sent.size(), std::size_t(2 * c.requests)) << c.name;
        EXPECT_EQ(rig.dialogs.beeps, c.attached ? 0 : 1) << c.name;
        EXPECT_FALSE(rig.port.isOpen()) << c.name;
    }
}

TEST(CheckAttachment, APortThatCannotBeOpenedCountsAsNotAttached) {
    LinkRig rig;
    rig.port.failOpen = "Port is in use";
    EXPECT_FALSE(rig.form->CheckAttachment());
    EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>(3, "Error getting code version. Port is in use"));
    EXPECT_EQ(rig.log(), std::vector<std::string>{"KORVEN7 not attached "});
}

}  // namespace
}  // namespace k7::test
