// Reading the strings back from the device into the list.
#include <gtest/gtest.h>

#include "device/link.h"
#include "device_rig.h"
#include "platform/runtime_error.h"

namespace k7::test {
namespace {

TEST(ReadBack, WaitsForSixtyFiveCharactersOfTheLineRoundedToEven) {
    const std::pair<int, int> cases[] = {{1200, 650}, {4800, 162}, {9600, 81}, {19200, 41}, {38400, 25}, {115200, 25}};
    for (const auto& [baud, ms] : cases) EXPECT_EQ(LineWaitMs(65, baud), ms) << baud;
    // A whole pass: the probe, 96 requests each with its wait, the pause after.
    for (const auto& [baud, versionMs, requestMs] : {std::tuple{"4800", 50, 162}, {"57600", 25, 25}}) {
        Rig rig(std::string("[COMSETTINGS]\r\nBAUD=") + baud + "\r\n");
        rig.button("ReadKeys").click();
        EXPECT_EQ(rig.clock.nowMs(), versionMs + 96 * requestMs + 2000) << baud;
    }
}

TEST(Read, DefaultsLeaveTheListEmpty) {
    Rig rig;
    rig.ui.fake<FakeCheckBox>("clrstat").setChecked(true);
    rig.form->Add2Status("old line");
    rig.button("ReadKeys").click();
    const auto& log = rig.log();
    ASSERT_EQ(log.size(), 3u + 2 * 96 + 1);
    EXPECT_EQ(log[0], "Read Operation Requested");
    EXPECT_EQ(log[1], "KORVEN7 device is attached");
    EXPECT_EQ(log[3], "Sent /R{6}{0}{0}{87}");
    EXPECT_EQ(log[4], "SCAN: 04 = a{00}{00}{00}{00}{00}{00}{00}{00}{00}");
    EXPECT_EQ(log[3 + 2 * 65], "Sent /R{6}A{0}{C8}");
    EXPECT_EQ(log.back(), "ALL KORVEN7 strings found to be default values");
    EXPECT_TRUE(rig.list().empty());
    EXPECT_EQ(rig.label("MatchString").caption(), "KORVEN7 strings all DEFAULT");
    EXPECT_TRUE(rig.label("MatchString").visible() && Shows(rig, "checkmark.gif") && Idle(rig));
    EXPECT_FALSE(rig.progress().visible());
    EXPECT_EQ(rig.label("PercentLabel").caption(), "100%");
}

TEST(Read, CustomStringsBecomeEntriesInRowOrder) {
    Rig rig;
    // Row 46 has no default and stays empty: not a custom string.
    rig.device.setFlash(Flash({{54, "Hello"}, {0, "\xC7x"}, {1, "0123456789"}, {40, "a\rb"}, {46, ""}}));
    rig.addEntry("Q", "stale");
    rig.textBox("KbdKey").setText("Q");
    rig.textBox("KeyString").setText("stale");
    rig.button("ReadKeys").click();
    EXPECT_EQ(rig.list(), (std::vector<std::string>{"A\t{C7}x", "B\t0123456789", "SPACE\ta{0D}b", "F1\tHello"}));
    EXPECT_EQ(rig.textBox("KbdKey").text() + rig.textBox("KeyString").text(), "");
    EXPECT_EQ(rig.label("MatchString").caption(), "4 Custom strings found in KORVEN7 ");
    EXPECT_EQ(rig.log().back(), "4 KORVEN7 contains 4 custom strings");
    EXPECT_TRUE(Shows(rig, "checkmark.gif"));
}

TEST(Read, KeysWithoutAValidReplyAreLoggedNotListed) {
    const struct {
        const char* name;
        std::set<int> silentRows;
        int readbackLength, unread;
    } cases[] = {{"one silent row", {5}, 51, 1}, {"replies one short", {}, 50, 96}, {"replies one long", {}, 52, 96}};
    for (const auto& c : cases) {
        Rig rig;
        rig.device.setFlash(Flash({{54, "Hello"}}));
        rig.device.faults().silentRows = c.silentRows;
        rig.device.faults().readbackLength = c.readbackLength;
        rig.button("ReadKeys").click();
        EXPECT_EQ(CountLogged(rig.log(), "!NO REPLY!\tKey("), c.unread) << c.name;
        for (const auto& entry : rig.list()) EXPECT_NE(entry.back(), '\t') << c.name << ": empty entry";
        EXPECT_TRUE(Shows(rig, "question-mark.gif")) << c.name;
        EXPECT_TRUE(rig.dialogs.messages.empty()) << c.name;
    }
}

TEST(Read, EveryPassStartsWithoutTheLastPassesReplies) {
    Rig rig;
    rig.device.setFlash(Flash({{54, "Hello"}}));
    rig.button("ReadKeys").click();
    ASSERT_EQ(rig.list(), std::vector<std::string>{"F1\tHello"});
    rig.device.faults().silentRows = {54};
    rig.button("ReadKeys").click();
    EXPECT_TRUE(rig.list().empty());
    EXPECT_TRUE(Logged(rig.log(), "!NO REPLY!\tKey(54) F1"));
}

TEST(Read, FailuresKeepTheList) {
    const std::string prefix = "Error retrieve current key overrides - ";
    const struct { const char* name; std::function<void(Rig&)> arrange; std::vector<std::string> messages; } cases[] = {
        {"no device", [](Rig& r) { r.device.faults().silent = true; }, {}},
        {"scancode 03", [](Rig& r) { r.device.faults().badScancode = 0x03; }, {prefix + "Subscript out of range"}},
        {"scancode 6B", [](Rig& r) { r.device.faults().badScancode = 0x6B; }, {prefix + "Subscript out of range"}},
        {"port lost after the probe",
         [](Rig& r) {
             r.port.onOutput = [&r](const std::string& bytes) {
                 if (bytes.size() > 1 && bytes[1] == 'R') r.port.failOutput = "The device is gone";
             };
         },
         {prefix + "The device is gone"}},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.addEntry("F1", "Hello");
        rig.textBox("KbdKey").setText("F1");
        c.arrange(rig);
        rig.button("ReadKeys").click();
        EXPECT_EQ(rig.list(), std::vector<std::string>{"F1\tHello"}) << c.name;
        EXPECT_EQ(rig.textBox("KbdKey").text(), "F1") << c.name;
        EXPECT_EQ(rig.dialogs.messages, c.messages) << c.name;
        EXPECT_TRUE(Idle(rig)) << c.name;
        EXPECT_FALSE(rig.label("MatchString").visible()) << c.name;
        EXPECT_EQ(rig.dialogs.beeps, c.messages.empty() ? 1 : 0) << c.name;
    }
}

TEST(ParseReadBackKey, FillsTheRowItsScancodeNames) {
    Rig rig;
    rig.form->ParseReadBackKey("SCAN: 3A = {48}{65}{6C}{6C}{6F}{00}{41}{41}{41}{41}");
    const KeyRecord& r = rig.form->ReadbackTable[54];
    EXPECT_EQ(r.Scancode, 0x3A);
    EXPECT_EQ(r.Output, "Hello");
    EXPECT_EQ(r.Legend, "F1");
    rig.form->ParseReadBackKey("SCAN: 6A = {ff}{7B}{0D}{01}{02}{03}{04}{05}{06}{07}");
    EXPECT_EQ(rig.form->ReadbackTable[102].Output, "\xFF{\r\x01\x02\x03\x04\x05\x06\x07");
    EXPECT_EQ(rig.form->ReadbackTable[102].Legend, "NOTUSED");
    for (const char* bad : {"03 = {48}", "6B = {48}", "3A = {4G}", "Z1 = {48}"})
        EXPECT_THROW(rig.form->ParseReadBackKey(std::string("SCAN: ") + bad + "{00}{00}{00}{00}{00}{00}{00}{00}{00}"),
                     RuntimeError)
            << bad;
}

}  // namespace
}  // namespace k7::test
