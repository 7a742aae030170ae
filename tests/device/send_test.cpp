// Sending the list into the device: erase, write and flash frames, the verify after.
#include <gtest/gtest.h>

#include "device/frames.h"
#include "device_rig.h"

namespace k7::test {
namespace {

// Write-frame sizes of a whole image, block by block: a lead that finishes the slot
// straddling the block start, twelve full slots, a tail up to the block end.
std::vector<int> ExpectedWriteSizes() {
    const int lead[] = {0, 2, 4, 6, 8, 0, 2, 4};
    const int tail[] = {8, 6, 4, 2, 0, 8, 6, 4};
    std::vector<int> sizes;
    for (int block = 0; block < 8; ++block) {
        if (lead[block]) sizes.push_back(lead[block]);
        for (int i = 0; i < 12; ++i) sizes.push_back(10);
        if (tail[block]) sizes.push_back(tail[block]);
    }
    return sizes;
}

int Address(const std::string& writeFrame) {
    return std::uint8_t(writeFrame[3]) * 256 + std::uint8_t(writeFrame[4]);
}

// The verify at the end of a send clears the log when "Clear Details" is checked.
struct SendRig : Rig {
    SendRig() { ui.fake<FakeCheckBox>("clrstat").setChecked(false); }
};

// The command letters in the order the device got them.
std::string Commands(const Korven7Emulator& device) {
    std::string letters;
    for (const auto& f : device.frames()) letters += f[1];
    return letters;
}

TEST(Send, AnEmptyListWritesTheDefaultImageInItsFrames) {
    SendRig rig;
    rig.device.setFlash(WithSlot(Korven7Emulator::DefaultImage(), 7, "old"));
    rig.button("SendKeys").click();
    EXPECT_EQ(rig.device.flash(), Korven7Emulator::DefaultImage());

    const auto writes = FramesOf(rig.device, 'W');
    const auto sizes = ExpectedWriteSizes();
    ASSERT_EQ(writes.size(), 109u);
    ASSERT_EQ(sizes.size(), 109u);
    int address = 0;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(int(writes[i].size()) - 7, sizes[i]) << "frame " << i;
        EXPECT_EQ(Address(writes[i]), address) << "frame " << i;
        address += sizes[i];
    }
    EXPECT_EQ(address, 1024);
    EXPECT_EQ(FramesOf(rig.device, 'F').size(), 8u);
    // Every block's frames are followed by its flash frame.
    const std::string commands = Commands(rig.device);
    EXPECT_EQ(commands.substr(0, 16), "VE" + std::string(13, 'W') + "F");
    EXPECT_EQ(commands.substr(commands.rfind('F') + 1, 2), "VR");  // then the verify reads back

    const auto& log = rig.log();
    EXPECT_TRUE(Logged(log, "SENT:/E{9}{AA}{55}{AA}{55}{0}{7B}"));
    EXPECT_TRUE(Logged(log, "SENT:{0)}  /W{11}{0}{0}{61}{0}{0}{0}{0}{0}{0}{0}{0}{0}{0}{F8}"));
    EXPECT_TRUE(Logged(log, "SENT:{66)}  /W{B}{3}{FC}{0}{0}{0}{0}{0}{90}"));
    EXPECT_EQ(CountLogged(log, "SENT:{"), 109);
    EXPECT_EQ(CountLogged(log, "RECVD:ACK"), 118);
    EXPECT_EQ(CountLogged(log, "/F{6}{0}{0}{7B}"), 8);
    for (int block = 0; block < 8; ++block)
        EXPECT_TRUE(Logged(log, "Flashing 128 bytes. BLOCK " + std::to_string(block))) << block;
    EXPECT_EQ(rig.label("MatchString").caption(), "KORVEN7 strings VERIFIED!");
    EXPECT_TRUE(ButtonsEnabled(rig));
    EXPECT_FALSE(rig.port.isOpen());
}

TEST(Send, CustomStringsLandInTheirSlots) {
    SendRig rig;
    rig.addEntry("A", "{C7}x");
    rig.addEntry("B", "0123456789");
    rig.addEntry("M", "MNOPQRSTUV");  // slot 12 straddles the end of block 0
    rig.addEntry("F1", "Hello");
    rig.button("SendKeys").click();
    Image expected = Korven7Emulator::DefaultImage();
    expected = WithSlot(expected, 0, "\xC7x");
    expected = WithSlot(expected, 1, "0123456789");
    expected = WithSlot(expected, 12, "MNOPQRSTUV");
    expected = WithSlot(expected, 54, "Hello");
    EXPECT_EQ(rig.device.flash(), expected);
    const auto writes = FramesOf(rig.device, 'W');
    ASSERT_EQ(writes.size(), 109u);
    EXPECT_EQ(writes[1], WriteFrame(10, "0123456789"));  // ten string bytes, then the frame's own 0x00
    EXPECT_EQ(writes[12], WriteFrame(120, "MNOPQRST"));
    EXPECT_EQ(writes[13], WriteFrame(128, "UV"));
    EXPECT_TRUE(Logged(rig.log(), "SENT:{C)}  /W{9}{0}{80}{55}{56}{0}{BA}"));
    EXPECT_EQ(rig.label("MatchString").caption(), "KORVEN7 strings VERIFIED!");
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(Send, AZeroByteFromAFileEndsTheDevicesString) {
    SendRig rig;
    rig.addEntry("D", "x{00}y");
    rig.button("SendKeys").click();
    EXPECT_EQ(rig.device.flash(), WithSlot(Korven7Emulator::DefaultImage(), 3, std::string("x\0y", 3)));
    EXPECT_EQ(rig.label("MatchString").caption(), "1 KORVEN7 strings FAILED to match list");
}

TEST(Send, AFrameWithoutAcknowledgementEndsTheWriting) {
    // Frames that expect ACK: 1 erase; block 0 = frames 2-15 (its flash is 15);
    // block 3 = frames 46-60; the last flash frame is 118.
    const struct {
        const char* name;
        int frame;
        int writes, flashes;
        bool verifies;
    } cases[] = {
        {"erase", 1, 0, 0, false},
        {"write frame in block 3", 50, 46, 3, true},
        {"flash frame", 15, 13, 1, true},
        {"very last frame", 118, 109, 8, true},
    };
    for (const auto& c : cases) {
        SendRig rig;
        rig.device.faults().noAckAtFrame = c.frame;
        rig.button("SendKeys").click();
        EXPECT_EQ(int(FramesOf(rig.device, 'W').size()), c.writes) << c.name;
        EXPECT_EQ(int(FramesOf(rig.device, 'F').size()), c.flashes) << c.name;
        const auto& log = rig.log();
        const int noAck = CountLogged(log, c.frame == 1 ? "No ACK .. RECVD: " : "No ACK .. RECVD:");
        EXPECT_EQ(noAck, 1) << c.name;
        EXPECT_EQ(Logged(log, "Read Operation Requested"), c.verifies) << c.name;
        EXPECT_TRUE(ButtonsEnabled(rig)) << c.name;
        EXPECT_EQ(rig.port.isOpen(), !c.verifies) << c.name;  // only a refused erase leaves it open
        EXPECT_TRUE(rig.dialogs.messages.empty()) << c.name;
    }
}

TEST(Send, OnlyAReplyBeginningWithAckCounts) {
    SendRig split;
    split.device.faults().splitAck = true;
    split.button("SendKeys").click();
    EXPECT_EQ(split.label("MatchString").caption(), "KORVEN7 strings VERIFIED!");

    SendRig before;
    before.device.faults().textBeforeAck = true;
    before.button("SendKeys").click();
    EXPECT_EQ(before.log().back(), "No ACK .. RECVD: OK ACK");
    EXPECT_TRUE(FramesOf(before.device, 'W').empty());
}

TEST(Send, AbortBetweenBlocksStopsAfterTheCurrentBlock) {
    SendRig rig;
    rig.form->AbortFlag = -1;  // left over: cleared by the send
    int writes = 0;
    rig.port.onOutput = [&](const std::string& bytes) {
        if (bytes.size() > 1 && bytes[1] == 'W' && ++writes == 50) rig.form->AbortBrn_Click();
    };
    rig.button("SendKeys").click();
    EXPECT_EQ(FramesOf(rig.device, 'F').size(), 4u);
    EXPECT_EQ(FramesOf(rig.device, 'W').size(), 13u + 14 + 14 + 14);
    EXPECT_TRUE(Logged(rig.log(), "Read Operation Requested"));
    EXPECT_FALSE(rig.port.isOpen());
}

TEST(Send, ProgressFollowsTheRows) {
    SendRig rig;
    std::vector<std::string> percents;
    rig.port.onOutput = [&](const std::string&) { percents.push_back(rig.label("PercentLabel").caption()); };
    rig.button("SendKeys").click();
    // Outputs: the probe, the erase, 109 write and 8 flash frames, then the verify's.
    ASSERT_GT(percents.size(), 119u);
    EXPECT_EQ(percents[0], "0%");
    EXPECT_EQ(percents[2], "0%");    // first write frame: slot 0 not yet counted
    EXPECT_EQ(percents[3], "1%");
    EXPECT_EQ(percents[118], "100%");
}

TEST(Send, NoDeviceShowsOnlyTheProbe) {
    SendRig rig;
    rig.device.faults().silent = true;
    rig.button("SendKeys").click();
    EXPECT_EQ(rig.log(), std::vector<std::string>{"KORVEN7 not attached ???"});
    EXPECT_EQ(rig.label("PercentLabel").caption(), "0%");
    EXPECT_TRUE(rig.progress().visible());
    EXPECT_EQ(rig.port.sent, "/V/V/V");
    EXPECT_TRUE(ButtonsEnabled(rig));
}

TEST(Send, ARunTimeErrorEndsItWithItsMessage) {
    SendRig rig;
    rig.addEntry("F1", "{G1}");
    rig.button("SendKeys").click();
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].rfind("Error sending to KORVEN7. STRindx=0  IstrPos = 0 ", 0), 0u);
    EXPECT_TRUE(FramesOf(rig.device, 'W').empty());
    EXPECT_FALSE(Logged(rig.log(), "Read Operation Requested"));
    EXPECT_TRUE(ButtonsEnabled(rig));
    EXPECT_FALSE(rig.port.isOpen());
}

}  // namespace
}  // namespace k7::test
