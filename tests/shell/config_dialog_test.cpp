#include <gtest/gtest.h>

#include "platform/runtime_error.h"
#include "support/rig.h"

namespace k7::test {
namespace {

using Texts = std::vector<std::string>;

std::string Settings(const std::string& port, const std::string& baud, const std::string& parity,
                     const std::string& enableStrings = "0") {
    return "[COMSETTINGS]\r\nPORT=" + port + "\r\nBAUD=" + baud + "\r\nPARITY=" + parity +
           "\r\n[GENERAL]\r\nENABLESTRINGS=" + enableStrings + "\r\n";
}

FakeComboBox& Combo(FakeDialogWindow& d, const char* name) { return d.fake<FakeComboBox>(name); }
void Press(FakeDialogWindow& d, const char* button) { d.fake<FakeButton>(button).click(); }

// Opens the dialog; `user` acts in it; returns whether the dialog was still open afterwards.
bool RunDialog(Rig& rig, std::function<void(FakeDialogWindow&)> user) {
    bool open = true;
    rig.dialogUser = [&](FakeDialogWindow& d) { user(d); open = d.isOpen(); };
    rig.menu("Config").click();
    return open;
}

// The three selections the dialog shows, then CLOSE.
std::string Shown(Rig& rig) {
    std::string shown;
    EXPECT_FALSE(RunDialog(rig, [&](FakeDialogWindow& d) {
        EXPECT_EQ(Combo(d, "cboPort").count(), 8);
        shown = Combo(d, "cboPort").currentText() + " " + Combo(d, "cboBaud").currentText() + " " +
                Combo(d, "cboParity").currentText();
        Press(d, "ConfigAbort");
    }));
    return shown;
}

TEST(SettingsDialog, SelectsTheStoredSettingsOrNothingWhereNoEntryFits) {
    Rig offered;
    RunDialog(offered, [](FakeDialogWindow& d) {
        EXPECT_EQ(Combo(d, "cboPort").items(), (Texts{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}));
        EXPECT_EQ(Combo(d, "cboBaud").items(), (Texts{"1200", "4800", "9600", "19.2k", "38.4k", "57.6k"}));
        EXPECT_EQ(Combo(d, "cboParity").items(), (Texts{"NONE", "EVEN", "ODD"}));
        Press(d, "ConfigAbort");
    });
    const struct { const char *port, *baud, *parity, *shown; } cases[] = {
        {"3", "19200", "E", "COM3 19.2k EVEN"}, {"1", "9600", "N", "COM1 9600 NONE"},
        {"8", "57600", "O", "COM8 57.6k ODD"},  {"2", "38400", "N", "COM2 38.4k NONE"},
        {"5", "4800", "E", "COM5 4800 EVEN"},
        {"4", "12", "O", "COM4 1200 ODD"},   // two characters are enough to match
        {"3", "1100", "X", "COM3  "},        // no rate begins with 11, no parity X
        {"3", "9600", "e", "COM3 9600 "},    // the parity letter is case-sensitive
        {"3", "9", "N", "COM3  NONE"},       // one character is no match for 96
        {"0", "9600", "N", " 9600 NONE"},    {"9", "9600", "N", " 9600 NONE"}, {"-1", "9600", "N", " 9600 NONE"},
    };
    for (const auto& c : cases) {
        Rig rig(Settings(c.port, c.baud, c.parity));
        EXPECT_EQ(Shown(rig), c.shown) << c.port << " " << c.baud << " " << c.parity;
    }
}

TEST(SettingsDialog, SaveStoresAppliesPausesAndCloses) {
    Rig rig(Settings("3", "19200", "E", "-1"));
    std::int64_t pressedUs = -1, closedUs = -1;
    bool openDuringPause = false, labelsDuringPause = false, buttonsLiveDuringPause = false;
    int closes = 0;
    EXPECT_FALSE(RunDialog(rig, [&](FakeDialogWindow& d) {
        Combo(d, "cboBaud").setCurrentIndex(5);    // 57.6k
        Combo(d, "cboParity").setCurrentIndex(2);  // ODD
        pressedUs = rig.clock.nowUs();
        rig.pump.at(pressedUs + 350'000, [&] {
            openDuringPause = d.isOpen();
            labelsDuringPause = rig.label("BaudLabel").caption() == "57600";
            buttonsLiveDuringPause = d.fake<FakeButton>("ConfigSave").enabled() && d.fake<FakeButton>("ConfigAbort").enabled();
        });
        Press(d, "ConfigSave");
        closedUs = rig.clock.nowUs();
        closes = d.closes;
    }));
    EXPECT_EQ(rig.env.read("KORVEN7.ini"), Settings("3", "57600", "O", "-1"));
    EXPECT_EQ(rig.label("CommLabel").caption() + rig.label("BaudLabel").caption() + rig.label("ParityLabel").caption(),
              "COM357600ODD");
    EXPECT_EQ(rig.port.settings, "57600,O,8,1");
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_TRUE(openDuringPause && labelsDuringPause && buttonsLiveDuringPause);
    EXPECT_EQ(closes, 1);
    EXPECT_NEAR(double(closedUs - pressedUs), 700'000.0, 20'000.0);
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(SettingsDialog, SaveWritesEachRateAsDigitsAndThePortOfTheChosenEntry) {
    const char* digits[] = {"1200", "4800", "9600", "19200", "38400", "57600"};
    for (int index = 0; index < 6; ++index) {
        Rig rig;
        RunDialog(rig, [&](FakeDialogWindow& d) {
            Combo(d, "cboBaud").setCurrentIndex(index);
            Combo(d, "cboPort").setCurrentIndex(index + 1);
            Press(d, "ConfigSave");
        });
        EXPECT_EQ(rig.env.read("KORVEN7.ini"), Settings(std::to_string(index + 2), digits[index], "N"));
        EXPECT_EQ(rig.port.portName, "/dev/ttyS" + std::to_string(index + 1));
    }
}

TEST(SettingsDialog, SaveKeepsTheOtherLinesOfTheFileAndItsPortMapping) {
    const std::string before =
        "; serial settings\r\n[PORTS]\r\nCOM2=/dev/ttyUSB0\r\n[COMSETTINGS]\r\nPORT=3\r\nBAUD=9600\r\nPARITY=N\r\n"
        "\r\n[GENERAL]\r\nENABLESTRINGS=-1\r\nOTHER=kept\r\n";
    Rig rig(before);
    RunDialog(rig, [](FakeDialogWindow& d) {
        Combo(d, "cboPort").setCurrentIndex(1);  // COM2
        Press(d, "ConfigSave");
    });
    std::string after = before;
    after.replace(after.find("PORT=3"), 6, "PORT=2");
    EXPECT_EQ(rig.env.read("KORVEN7.ini"), after);
    EXPECT_EQ(rig.port.portName, "/dev/ttyUSB0");
}

TEST(SettingsDialog, CloseChangesNothingAndTheNextOpeningStartsFromTheCurrentSettings) {
    const std::string before = Settings("3", "19200", "E", "-1");
    Rig rig(before);
    EXPECT_FALSE(RunDialog(rig, [](FakeDialogWindow& d) {
        Combo(d, "cboPort").setCurrentIndex(0);
        Combo(d, "cboBaud").setCurrentIndex(0);
        Combo(d, "cboParity").setCurrentIndex(2);
        Press(d, "ConfigAbort");
    }));
    EXPECT_EQ(rig.env.read("KORVEN7.ini"), before);
    EXPECT_EQ(rig.form->BaudSetting + rig.form->ParitySetting, "19200E");
    EXPECT_EQ(rig.port.settings, "19200,E,8,1");
    EXPECT_EQ(rig.label("CommLabel").caption() + rig.label("BaudLabel").caption() + rig.label("ParityLabel").caption(),
              "COM319200EVEN");
    EXPECT_EQ(Shown(rig), "COM3 19.2k EVEN");

    RunDialog(rig, [](FakeDialogWindow& d) {
        Combo(d, "cboPort").setCurrentIndex(4);
        Combo(d, "cboParity").setCurrentIndex(0);
        Press(d, "ConfigSave");
    });
    EXPECT_EQ(Shown(rig), "COM5 19.2k NONE");  // and the lists are filled afresh, not appended to
}

TEST(SettingsDialog, SaveWithoutSelectionsStoresThemEmptyAndThePortSetUpComplains) {
    Rig rig(Settings("9", "1100", "X"));
    rig.dialogs.messages.clear();  // start-up has already complained about the rate
    EXPECT_FALSE(RunDialog(rig, [](FakeDialogWindow& d) { Press(d, "ConfigSave"); }));
    EXPECT_EQ(rig.env.read("KORVEN7.ini"), Settings("0", "", "", "0"));
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].rfind("Error setting up comm port - ", 0), 0u) << rig.dialogs.messages[0];
}

TEST(SettingsDialog, AFailureWhileSavingIsReportedAndTheDialogStaysOpen) {
    Rig rig(Settings("3", "19200", "E"));
    EXPECT_TRUE(RunDialog(rig, [&](FakeDialogWindow& d) {
        Combo(d, "cboBaud").setCurrentIndex(2);
        rig.pump.at(rig.clock.nowUs() + 100'000, [] { throw RuntimeError("Out of memory"); });
        Press(d, "ConfigSave");
        EXPECT_EQ(d.closes, 0);
    }));
    EXPECT_EQ(rig.dialogs.messages, Texts{"Error saving configuration - Out of memory"});
    // What was stored before the failure stays stored.
    EXPECT_EQ(rig.env.read("KORVEN7.ini"), Settings("3", "9600", "E"));
}

}  // namespace
}  // namespace k7::test
