// The serial link on virtual time: acknowledgement wait, delays, version request and
// the attachment probe and the version query, against a line the test scripts.
#include <gtest/gtest.h>

#include "device/frames.h"
#include "support/rig.h"

namespace k7::test {
namespace {

constexpr std::int64_t kMs = 1000;
using Line = std::vector<std::pair<std::int64_t, std::string>>;  // bytes arriving at a time
using Lines = std::vector<std::string>;

// A rig whose serial line carries only what the test puts on it.
struct LinkRig : Rig {
    explicit LinkRig(const std::string& baud = "9600", const Line& line = {}) {
        port.attach(nullptr);
        form->BaudSetting = baud;
        for (const auto& [at, bytes] : line) port.arriveAt(at, bytes);
    }
};

// The frames' bytes are checked through the log lines of the send and the read.
TEST(Frames, AnAcknowledgementMustStartTheReply) {
    for (const char* reply : {"ACK", "ACK\r\nmore"}) EXPECT_TRUE(Acknowledged(reply)) << reply;
    for (const char* reply : {"OK ACK", "AC", ""}) EXPECT_FALSE(Acknowledged(reply)) << reply;
}

TEST(GetAck, ReturnsAsSoonAsTheJoinedTextHoldsAckOrAtTheTimeOut) {
    const struct { const char *name, *baud; int ms; Line line; std::string reply; std::int64_t tookUs; } cases[] = {
        {"in two pieces", "9600", 500, {{45 * kMs, "AC"}, {61'300, "K"}}, "ACK", 61'300},
        {"text before", "9600", 500, {{70 * kMs, "OK ACK"}}, "OK ACK", 70 * kMs},
        {"text after", "9600", 500, {{70 * kMs, "ACK\r\nREADY"}}, "ACK\r\nREADY", 70 * kMs},
        {"garbage, then ACK", "9600", 500, {{50 * kMs, "xx"}, {300 * kMs, "ACK"}}, "xxACK", 300 * kMs},
        {"silent line", "9600", 500, {}, "", 500 * kMs},
        {"time-out", "9600", 500, {{100 * kMs, "NAK"}}, "NAK", 500 * kMs},
        {"longer time-out", "9600", 1000, {{100 * kMs, "NAK"}}, "NAK", 1000 * kMs},
        {"settles 40 ms from 9600", "57600", 500, {{1 * kMs, "ACK"}}, "ACK", 40 * kMs},
        {"settles 90 ms below 9600", "4800", 500, {{1 * kMs, "ACK"}}, "ACK", 90 * kMs},
        {"settles 90 ms at 1200", "1200", 500, {{1 * kMs, "ACK"}}, "ACK", 90 * kMs},
    };
    for (const auto& c : cases) {
        LinkRig rig(c.baud, c.line);
        rig.port.open();
        EXPECT_EQ(rig.form->GetACK(c.ms), c.reply) << c.name;
        EXPECT_EQ(rig.clock.nowUs(), c.tookUs) << c.name;
        EXPECT_FALSE(rig.ui.timer("ResponseTimer").enabled()) << c.name;
        // One wake-up per tick and one per byte: it blocks, it does not poll.
        EXPECT_LE(rig.pump.waits, c.ms / 10 + 3) << c.name;
    }
}

TEST(GetAck, BytesWithinTheSettleWakeOnlyAtItsEnd) {
    LinkRig rig("57600", {{1 * kMs, "A"}, {2 * kMs, "CK"}});
    rig.port.open();
    EXPECT_EQ(rig.form->GetACK(500), "ACK");
    EXPECT_EQ(rig.clock.nowUs(), 40 * kMs);
    EXPECT_EQ(rig.pump.waits, 4);  // the four ticks of the settle
}

TEST(GetAck, ReportsAPortThatCannotBeRead) {
    LinkRig closed;
    EXPECT_EQ(closed.form->GetACK(500), "");
    EXPECT_EQ(closed.dialogs.messages,
              std::vector<std::string>{"Error while awaiting ACKnowledge Operation valid only when the port is open"});
    LinkRig badBaud("fast");
    badBaud.port.open();
    EXPECT_EQ(badBaud.form->GetACK(500), "");
    EXPECT_EQ(badBaud.dialogs.messages, std::vector<std::string>{"Error while awaiting ACKnowledge Type mismatch"});
}

TEST(Delay, ReturnsAfterItsTimeWithOneWakeUpAndAbortDoesNotShortenIt) {
    for (int ms : {1, 25, 2000}) {
        LinkRig rig;
        rig.form->Delay(ms);
        EXPECT_EQ(rig.clock.nowUs(), ms * kMs);
        EXPECT_EQ(rig.pump.waits, 1);
        EXPECT_FALSE(rig.ui.timer("DelayTimer").enabled());
    }
    LinkRig rig;
    rig.pump.at(50 * kMs, [&] { rig.form->AbortBrn_Click(); });
    rig.form->Delay(200);
    EXPECT_EQ(rig.clock.nowUs(), 200 * kMs);
    EXPECT_EQ(rig.form->AbortFlag, -1);
}

TEST(Delay, BytesArrivingMeanwhileWakeNothingAndWaitForTheRead) {
    LinkRig rig("9600", {{8 * kMs, "SCAN: 04"}, {72 * kMs, "ACK"}});
    rig.port.open();
    rig.form->Delay(25);
    EXPECT_EQ(rig.pump.waits, 1);
    EXPECT_EQ(rig.port.input(), "SCAN: 04");
    // After the delay the line wakes the program again: an acknowledgement after the
    // 40 ms settle is seen at once, not at the next 10 ms tick.
    EXPECT_EQ(rig.form->GetACK(500), "ACK");
    EXPECT_EQ(rig.clock.nowUs(), 72 * kMs);
}

TEST(GetCodeVersion, WaitsForTwentyCharactersOfTheLine) {
    const struct { const char* baud; std::int64_t waitMs; Line line; std::string version; } cases[] = {
        {"1200", 200, {}, "???"}, {"2400", 100, {}, "???"}, {"4800", 50, {}, "???"}, {"9600", 25, {}, "???"},
        {"57600", 25, {}, "???"}, {"9600", 25, {{8 * kMs, "KORVEN7 V2.14\r\n"}}, "KORVEN7 V2.14\r\n"}};
    for (const auto& c : cases) {
        LinkRig rig(c.baud, c.line);
        EXPECT_EQ(rig.form->GetCodeVersion(), c.version) << c.baud;
        EXPECT_EQ(rig.clock.nowUs(), c.waitMs * kMs) << c.baud;
        EXPECT_EQ(rig.port.sent, "/V");
        EXPECT_FALSE(rig.port.isOpen());
        EXPECT_EQ(rig.port.opens, 1);
    }
}

TEST(GetCodeVersion, ReportsABaudRateThePortRefuses) {
    LinkRig badBaud("0");
    EXPECT_EQ(badBaud.form->GetCodeVersion(), "");
    EXPECT_FALSE(badBaud.port.isOpen());
    ASSERT_EQ(badBaud.dialogs.messages.size(), 1u);
    EXPECT_EQ(badBaud.dialogs.messages[0].rfind("Error getting code version. ", 0), 0u);
}

TEST(CheckAttachment, TriesThreeTimesThenBeepsAndLogsTheLastReply) {
    const Lines attached{"KORVEN7 device is attached", "---------------------------"};
    const struct { const char* name; Line line; Lines log; int requests; std::string failOpen; } cases[] = {
        {"silent line", {}, {"KORVEN7 not attached ???"}, 3, ""},
        {"other device", {{5 * kMs, "X1"}, {30 * kMs, "X2"}, {55 * kMs, "OTHERKBD V1"}},
         {"KORVEN7 not attached OTHERKBD V1"}, 3, ""},
        {"answers at once", {{5 * kMs, "KORVEN7 V2.14\r\n"}}, attached, 1, ""},
        {"answers the third request", {{55 * kMs, "KORVEN7 V2.14"}}, attached, 3, ""},
        {"lower case name", {{5 * kMs, "korven7"}}, {"KORVEN7 not attached ???"}, 3, ""},
        {"port cannot be opened", {}, {"KORVEN7 not attached "}, 0, "Port is in use"},
    };
    for (const auto& c : cases) {
        LinkRig rig("9600", c.line);
        if (!c.failOpen.empty()) rig.port.failOpen = c.failOpen;
        const bool ok = c.log == attached;
        EXPECT_EQ(rig.form->CheckAttachment(), ok) << c.name;
        EXPECT_EQ(rig.log(), c.log) << c.name;
        EXPECT_EQ(rig.port.sent.size(), std::size_t(2 * c.requests)) << c.name;
        EXPECT_EQ(rig.dialogs.beeps, ok ? 0 : 1) << c.name;
        EXPECT_FALSE(rig.port.isOpen()) << c.name;
        EXPECT_EQ(rig.dialogs.messages.size(), c.failOpen.empty() ? 0u : 3u) << c.name;
    }
}

TEST(VersionQuery, ShowsTheReplyInTwoLinesAfterItArrived) {
    const struct { const char* name; bool clearOption; std::string line, version, failOpen; } cases[] = {
        {"silent line, log kept", false, "", "???", ""},
        {"reply untrimmed", true, "KORVEN7 V2.14\r\n", "KORVEN7 V2.14\r\n", ""},
        {"another device", false, "OTHERKBD", "OTHERKBD", ""},
        {"port cannot be opened", false, "", "", "Port is in use"},
    };
    for (const auto& c : cases) {
        LinkRig rig("9600", c.line.empty() ? Line{} : Line{{210 * kMs, c.line}});
        if (!c.failOpen.empty()) rig.port.failOpen = c.failOpen;
        rig.ui.fake<FakeCheckBox>("clrstat").setChecked(c.clearOption);
        rig.form->Add2Status("earlier line");
        rig.label("MatchString").setVisible(true);
        rig.picture().setVisible(true);
        rig.button("GetVersionBtn").click();
        EXPECT_EQ(rig.log(), (std::vector<std::string>{"Requesting Version", "Version = " + c.version})) << c.name;
        EXPECT_EQ(rig.dialogs.messages, c.failOpen.empty() ? std::vector<std::string>{}
                                                           : std::vector{"Error getting code version. " + c.failOpen})
            << c.name;
        if (!c.failOpen.empty()) continue;
        EXPECT_EQ(rig.port.sent, "/V") << c.name;
        EXPECT_EQ(rig.clock.nowMs(), 225) << c.name;  // a pause of 200 ms, then one request at 9600 baud
        EXPECT_FALSE(rig.port.isOpen() || rig.label("MatchString").visible() || rig.picture().visible()) << c.name;
        EXPECT_TRUE(rig.button("GetVersionBtn").enabled()) << c.name;
    }
}

}  // namespace
}  // namespace k7::test
