// Reading the strings back from the device into the list.
#include <gtest/gtest.h>

#include "device/link.h"
#include "device_rig.h"
#include "platform/runtime_error.h"

namespace k7::test {
namespace {

TEST(ReadBack, WaitsForSixtyFiveCharactersOfTheLineRoundedToEven) {
    const struct {
        int baud, ms;
    } cases[] = {{1200, 650}, {4800, 162}, {9600, 81}, {19200, 41}, {38400, 25}, {57600, 25}, {115200, 25}};
    for (const auto& c : cases) EXPECT_EQ(LineWaitMs(65, c.baud), c.ms) << c.baud;
}

TEST(ReadBack, APassTakesItsFixedWaits) {
    const struct {
        const char* baud;
        std::int64_t versionMs, requestMs;
    } cases[] = {{"4800", 50, 162}, {"9600", 25, 81}, {"57600", 25, 25}};
    for (const auto& c : cases) {
        Rig rig(std::string("[COMSETTINGS]\r\nBAUD=") + c.baud + "\r\n");
        rig.button("ReadKeys").click();
        EXPECT_EQ(rig.clock.nowMs(), c.versionMs + 96 * c.requestMs + 2000) << c.baud;
        EXPECT_EQ(CountLogged(rig.log(), "Sent /R"), 96) << c.baud;
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
    EXPECT_TRUE(rig.label("MatchString").visible());
    EXPECT_NE(rig.picture().loadedPath().find("checkmark.gif"), std::string::npos);
    EXPECT_TRUE(rig.picture().visible());
    EXPECT_FALSE(rig.progress().visible());
    EXPECT_EQ(rig.label("PercentLabel").caption(), "100%");
    EXPECT_TRUE(ButtonsEnabled(rig));
    EXPECT_FALSE(rig.port.isOpen());
}

TEST(Read, CustomStringsBecomeEntriesInRowOrder) {
    Rig rig;
    Image image = Korven7Emulator::DefaultImage();
    image = WithSlot(image, 54, "Hello");
    image = WithSlot(image, 0, "\xC7x");
    image = WithSlot(image, 1, "0123456789");
    image = WithSlot(image, 40, "a\rb");
    image = WithSlot(image, 46, "");  // a key without a default and still empty: not custom
    rig.device.setFlash(image);
    rig.addEntry("Q", "stale");
    rig.textBox("KbdKey").setText("Q");
    rig.textBox("KeyString").setText("stale");
    rig.button("ReadKeys").click();
    EXPECT_EQ(rig.list(), (std::vector<std::string>{"A\t{C7}x", "B\t0123456789", "SPACE\ta{0D}b", "F1\tHello"}));
    EXPECT_EQ(rig.textBox("KbdKey").text(), "");
    EXPECT_EQ(rig.textBox("KeyString").text(), "");
    EXPECT_EQ(rig.label("MatchString").caption(), "4 Custom strings found in KORVEN7 ");
    EXPECT_EQ(rig.log().back(), "4 KORVEN7 contains 4 custom strings");
    EXPECT_NE(rig.picture().loadedPath().find("checkmark.gif"), std::string::npos);
}

TEST(Read, KeysWithoutAValidReplyAreLoggedNotListed) {
    const struct {
        const char* name;
        std::set<int> silentRows;
        int readbackLength;
        int unread;
    } cases[] = {
        {"one silent row", {5}, 51, 1},
        {"replies one short", {}, 50, 96},
        {"replies one long", {}, 52, 96},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.device.setFlash(WithSlot(Korven7Emulator::DefaultImage(), 54, "Hello"));
        rig.device.faults().silentRows = c.silentRows;
        rig.device.faults().readbackLength = c.readbackLength;
        rig.button("ReadKeys").click();
        EXPECT_EQ(CountLogged(rig.log(), "!NO REPLY!\tKey("), c.unread) << c.name;
        for (const auto& entry : rig.list()) EXPECT_NE(entry.back(), '\t') << c.name << ": empty entry";
        EXPECT_NE(rig.picture().loadedPath().find("question-mark.gif"), std::string::npos) << c.name;
        EXPECT_TRUE(rig.picture().visible()) << c.name;
        EXPECT_TRUE(rig.dialogs.messages.empty()) << c.name;
    }
    Rig rig;
    rig.device.faults().silentRows = {5};
    rig.button("ReadKeys").click();
    EXPECT_TRUE(Logged(rig.log(), "!NO REPLY!\tKey(5) F"));
    EXPECT_TRUE(rig.list().empty());
    EXPECT_EQ(rig.label("MatchString").caption(), "KORVEN7 strings all DEFAULT");
}

TEST(Read, EveryPassStartsWithoutTheLastPassesReplies) {
    Rig rig;
    rig.device.setFlash(WithSlot(Korven7Emulator::DefaultImage(), 54, "Hello"));
    rig.button("ReadKeys").click();
    ASSERT_EQ(rig.list(), std::vector<std::string>{"F1\tHello"});
    rig.device.faults().silentRows = {54};
    rig.button("ReadKeys").click();
    EXPECT_TRUE(rig.list().empty());
    EXPECT_TRUE(Logged(rig.log(), "!NO REPLY!\tKey(54) F1"));
}

TEST(Read, FailuresKeepTheList) {
    const struct {
        const char* name;
        std::function<void(Rig&)> arrange;
        std::string message;  // "" when none is shown
    } cases[] = {
        {"no device", [](Rig& r) { r.device.faults().silent = true; }, ""},
        {"scancode 03", [](Rig& r) { r.device.faults().badScancode = 0x03; },
         "Error retrieve current key overrides - Subscript out of range"},
        {"scancode 6B", [](Rig& r) { r.device.faults().badScancode = 0x6B; },
         "Error retrieve current key overrides - Subscript out of range"},
        {"port lost after the probe",
         [](Rig& r) {
             r.port.onOutput = [&r](const std::string& bytes) {
                 if (bytes.size() > 1 && bytes[1] == 'R') r.port.failOutput = "The device is gone";
             };
         },
         "Error retrieve current key overrides - The device is gone"},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.addEntry("F1", "Hello");
        rig.textBox("KbdKey").setText("F1");
        c.arrange(rig);
        rig.button("ReadKeys").click();
        EXPECT_EQ(rig.list(), std::vector<std::string>{"F1\tHello"}) << c.name;
        EXPECT_EQ(rig.textBox("KbdKey").text(), "F1") << c.name;
        EXPECT_EQ(rig.dialogs.messages, c.message.empty() ? std::vector<std::string>{} : std::vector{c.message})
            << c.name;
        EXPECT_TRUE(ButtonsEnabled(rig)) << c.name;
        EXPECT_FALSE(rig.port.isOpen()) << c.name;
        EXPECT_FALSE(rig.label("MatchString").visible()) << c.name;
    }
    Rig rig;
    rig.device.faults().silent = true;
    rig.button("ReadKeys").click();
    EXPECT_EQ(rig.log().back(), "KORVEN7 not attached ???");
    EXPECT_TRUE(rig.progress().visible());
    EXPECT_EQ(rig.dialogs.beeps, 1);
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
    for (const char* bad : {"SCAN: 03 = {48}{00}{00}{00}{00}{00}{00}{00}{00}{00}",
                            "SCAN: 6B = {48}{00}{00}{00}{00}{00}{00}{00}{00}{00}",
                            "SCAN: 3A = {4G}{00}{00}{00}{00}{00}{00}{00}{00}{00}",
                            "SCAN: Z1 = {48}{00}{00}{00}{00}{00}{00}{00}{00}{00}"})
        EXPECT_THROW(rig.form->ParseReadBackKey(bad), RuntimeError) << bad;
}

}  // namespace
}  // namespace k7::test
