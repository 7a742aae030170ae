// Sending the list into the device: the list laid over the key table, the image bytes
// that follow from it, erase, write and flash frames, the verify after.
#include <gtest/gtest.h>

#include "device/frames.h"
#include "device/image.h"
#include "device_rig.h"

namespace k7::test {
namespace {

// The list cannot reach slot 102, whose legend is the placeholder.
TEST(Image, TheLastSlotIsCutToFourBytes) {
    KeyTableArray table;
    BuildKeyTable(table);
    table[102].Output = "WXYZQ";
    EXPECT_EQ(std::string({ImageByte(table, 1020), ImageByte(table, 1023)}), "WZ");
}

// "Clear Details" off, so the log of the send survives the verify at its end.
struct SendRig : Rig {
    SendRig() { ui.fake<FakeCheckBox>("clrstat").setChecked(false); }
    void send() { button("SendKeys").click(); }
    std::string verdict() { return label("MatchString").caption(); }
};

TEST(Send, AnEmptyListWritesTheDefaultImageInItsFrames) {
    SendRig rig;
    rig.device.setFlash(Flash({{7, "old"}}));
    rig.send();
    EXPECT_EQ(rig.device.flash(), Korven7Emulator::DefaultImage());
    ASSERT_EQ(FramesOf(rig.device, 'W').size(), 109u);
    // The write frames tile the image in order, each ending at the next slot end or block
    // end, whichever comes first; each block's flash frame follows its last write frame.
    int address = 0, flashes = 0;
    for (const auto& f : rig.device.frames()) {
        if (f[1] == 'F') { EXPECT_EQ(address, 128 * ++flashes); }
        if (f[1] != 'W') continue;
        EXPECT_EQ(std::uint8_t(f[3]) * 256 + std::uint8_t(f[4]), address);
        EXPECT_EQ(int(f.size()) - 7, std::min(10 - address % 10, 128 - address % 128)) << "write at " << address;
        address += int(f.size()) - 7;
    }
    EXPECT_EQ(address, 1024);
    EXPECT_EQ(flashes, 8);
    EXPECT_EQ(rig.device.frames()[119].substr(0, 2), "/V");  // then the verify
    const auto& log = rig.log();
    for (const char* line : {"SENT:/E{9}{AA}{55}{AA}{55}{0}{7B}",
                             "SENT:{0)}  /W{11}{0}{0}{61}{0}{0}{0}{0}{0}{0}{0}{0}{0}{0}{F8}",
                             "SENT:{66)}  /W{B}{3}{FC}{0}{0}{0}{0}{0}{90}"})
        EXPECT_TRUE(Logged(log, line)) << line;
    EXPECT_EQ(CountLogged(log, "SENT:{"), 109);
    EXPECT_EQ(CountLogged(log, "RECVD:ACK"), 118);
    EXPECT_EQ(CountLogged(log, "/F{6}{0}{0}{7B}"), 8);
    for (int b = 0; b < 8; ++b) EXPECT_TRUE(Logged(log, "Flashing 128 bytes. BLOCK " + std::to_string(b))) << b;
    EXPECT_EQ(rig.verdict(), "KORVEN7 strings VERIFIED!");
    EXPECT_TRUE(Idle(rig));
}

TEST(Send, EachEntryLandsInTheSlotOfItsLegend) {
    const std::string ok = "KORVEN7 strings VERIFIED!";
    const struct { const char* name; std::vector<std::string> list; Slots flash; std::string verdict; } cases[] = {
        // Slot 12 straddles the end of block 0.
        {"strings", {"A\t{C7}x", "B\t0123456789", "M\tMNOPQRSTUV", "F1\tHello"},
         {{0, "\xC7x"}, {1, "0123456789"}, {12, "MNOPQRSTUV"}, {54, "Hello"}}, ok},
        {"later entry wins", {"F1\tone", "F1\ttwo"}, {{54, "two"}}, ok},
        {"legends are case-sensitive", {"a\tzz"}, {}, ok},
        {"placeholder legend is ignored", {"NOTUSED\tzz"}, {}, ok},
        {"empty legend sets the first key without one", {"\tzz"}, {{46, "zz"}}, ok},
        {"tabs after the first belong to the string", {"B\tx\ty"}, {{1, "x\ty"}}, ok},
        // The device keeps ten bytes, and a zero byte from a file ends its string: the verify sees both.
        {"cut and zero byte", {"C\t0123456789AB", "D\tx{00}y"}, {{2, "0123456789"}, {3, std::string("x\0y", 3)}},
         "2 KORVEN7 strings FAILED to match list"},
    };
    for (const auto& c : cases) {
        SendRig rig;
        for (const auto& entry : c.list) rig.listBox("List1").addItem(entry);
        rig.send();
        EXPECT_EQ(rig.device.flash(), Flash(c.flash)) << c.name;
        EXPECT_EQ(rig.verdict(), c.verdict) << c.name;
        EXPECT_TRUE(rig.dialogs.messages.empty()) << c.name;
    }
}

TEST(Send, AFrameWithoutAcknowledgementEndsTheWriting) {
    // Frames that expect ACK: 1 erase; block 0 = frames 2-15 (its flash is 15);
    // block 3 = frames 46-60; the last flash frame is 118.
    const struct { const char* name; int frame, writes, flashes; } cases[] = {
        {"erase", 1, 0, 0},
        {"write frame in block 3", 50, 46, 3},
        {"flash frame", 15, 13, 1},
        {"very last frame", 118, 109, 8},
    };
    for (const auto& c : cases) {
        SendRig rig;
        rig.device.faults().noAckAtFrame = c.frame;
        rig.send();
        EXPECT_EQ(int(FramesOf(rig.device, 'W').size()), c.writes) << c.name;
        EXPECT_EQ(int(FramesOf(rig.device, 'F').size()), c.flashes) << c.name;
        const bool erase = c.frame == 1;
        EXPECT_EQ(CountLogged(rig.log(), erase ? "No ACK .. RECVD: " : "No ACK .. RECVD:"), 1) << c.name;
        // The verify runs unless the erase was refused; only that leaves the port open.
        EXPECT_EQ(Logged(rig.log(), "Read Operation Requested"), !erase) << c.name;
        EXPECT_EQ(rig.port.isOpen(), erase) << c.name;
        EXPECT_TRUE(rig.dialogs.messages.empty()) << c.name;
    }
}

TEST(Send, OnlyAReplyBeginningWithAckCounts) {
    SendRig split;
    split.device.faults().splitAck = true;
    split.send();
    EXPECT_EQ(split.verdict(), "KORVEN7 strings VERIFIED!");
    SendRig before;
    before.device.faults().textBeforeAck = true;
    before.send();
    EXPECT_EQ(before.log().back(), "No ACK .. RECVD: OK ACK");
    EXPECT_TRUE(FramesOf(before.device, 'W').empty());
}

TEST(Send, AbortStopsAfterTheCurrentBlockAndProgressFollowsTheRows) {
    SendRig rig;
    rig.form->AbortFlag = -1;  // left over: cleared by the send
    int writes = 0;
    std::vector<std::string> percents;
    rig.port.onOutput = [&](const std::string& bytes) {
        percents.push_back(rig.label("PercentLabel").caption());
        if (bytes.size() > 1 && bytes[1] == 'W' && ++writes == 50) rig.form->AbortBrn_Click();
    };
    rig.send();
    EXPECT_EQ(FramesOf(rig.device, 'F').size(), 4u);
    EXPECT_EQ(FramesOf(rig.device, 'W').size(), 13u + 14 + 14 + 14);
    EXPECT_TRUE(Logged(rig.log(), "Read Operation Requested"));
    EXPECT_TRUE(Idle(rig));
    // Outputs: the probe, the erase, then the write frames; slot 0 counts once written.
    EXPECT_EQ(std::vector(percents.begin(), percents.begin() + 4), (std::vector<std::string>{"0%", "0%", "0%", "1%"}));

    SendRig whole;
    whole.port.onOutput = [&](const std::string&) { percents.push_back(whole.label("PercentLabel").caption()); };
    percents.clear();
    whole.send();
    ASSERT_GT(percents.size(), 119u);
    EXPECT_EQ(percents[118], "100%");  // the last flash frame
}

TEST(Send, NoDeviceOrABadEntryEndsItBeforeAnyWrite) {
    SendRig silent;
    silent.device.faults().silent = true;
    silent.send();
    EXPECT_EQ(silent.log(), std::vector<std::string>{"KORVEN7 not attached ???"});
    EXPECT_EQ(silent.label("PercentLabel").caption(), "0%");
    EXPECT_TRUE(silent.progress().visible());
    EXPECT_EQ(silent.port.sent, "/V/V/V");
    EXPECT_TRUE(Idle(silent));

    for (const char* entry : {"A without a tab", "F1\t{G1}", "A\t{}", "A\t{100}"}) {
        SendRig bad;
        bad.listBox("List1").addItem(entry);
        bad.send();
        ASSERT_EQ(bad.dialogs.messages.size(), 1u) << entry;
        EXPECT_EQ(bad.dialogs.messages[0].rfind("Error sending to KORVEN7. STRindx=0  IstrPos = 0 ", 0), 0u) << entry;
        EXPECT_TRUE(FramesOf(bad.device, 'W').empty()) << entry;
        EXPECT_FALSE(Logged(bad.log(), "Read Operation Requested")) << entry;
        EXPECT_TRUE(Idle(bad)) << entry;
    }
}

}  // namespace
}  // namespace k7::test
