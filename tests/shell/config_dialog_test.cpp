#include <gtest/gtest.h>

#include "platform/runtime_error.h"
#include "support/rig.h"

namespace k7::test {
namespace {

FakeComboBox& Combo(FakeDialogWindow& d, const std::string& name) { return d.fakes().fake<FakeComboBox>(name); }
FakeButton& DialogButton(FakeDialogWindow& d, const std::string& name) { return d.fakes().fake<FakeButton>(name); }

std::string Settings(const std::string& port, const std::string& baud, const std::string& parity,
                     const std::string& enableStrings = "0") {
    return "[COMSETTINGS]\r\nPORT=" + port + "\r\nBAUD=" + baud + "\r\nPARITY=" + parity +
           "\r\n[GENERAL]\r\nENABLESTRINGS=" + enableStrings + "\r\n";
}

struct Shown {
    std::vector<std::string> ports, bauds, parities;
    std::string port, baud, parity;  // "" where nothing is selected
    bool closedByClose = false;
};

Shown OpenAndLook(Rig& rig) {
    Shown shown;
    rig.dialogUser = [&](FakeDialogWindow& d) {
        shown.closedByClose = false;
        shown.ports = Combo(d, "cboPort").items();
        shown.bauds = Combo(d, "cboBaud").items();
        shown.parities = Combo(d, "cboParity").items();
        shown.port = Combo(d, "cboPort").currentText();
        shown.baud = Combo(d, "cboBaud").currentText();
        shown.parity = Combo(d, "cboParity").currentText();
        DialogButton(d, "ConfigAbort").click();
        shown.closedByClose = !d.isOpen();
    };
    rig.menu("Config").click();
    return shown;
}

TEST(SettingsDialog, OffersTheEightPortsSixRatesAndThreeParities) {
    Rig rig;
    const Shown shown = OpenAndLook(rig);
    EXPECT_EQ(shown.ports, (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}));
    EXPECT_EQ(shown.bauds, (std::vector<std::string>{"1200", "4800", "9600", "19.2k", "38.4k", "57.6k"}));
    EXPECT_EQ(shown.parities, (std::vector<std::string>{"NONE", "EVEN", "ODD"}));
    EXPECT_TRUE(shown.closedByClose);
}

TEST(SettingsDialog, SelectsTheStoredSettingsOrNothingWhereNoEntryFits) {
    struct Case { std::string port, baud, parity, shownPort, shownBaud, shownParity; };
    const Case cases[] = {
        {"3", "19200", "E", "COM3", "19.2k", "EVEN"},
        {"1", "9600", "N", "COM1", "9600", "NONE"},
        {"8", "57600", "O", "COM8", "57.6k", "ODD"},
        {"2", "38400", "N", "COM2", "38.4k", "NONE"},
        {"5", "4800", "E", "COM5", "4800", "EVEN"},
        {"4", "12", "O", "COM4", "1200", "ODD"},      // two characters are enough to match
        {"3", "1100", "X", "COM3", "", ""},           // no rate begins with 11, no parity X
        {"3", "9600", "e", "COM3", "9600", ""},       // the parity letter is case-sensitive
        {"3", "9", "N", "COM3", "", "NONE"},          // one character is no match for 96
        {"0", "9600", "N", "", "9600", "NONE"},
        {"9", "9600", "N", "", "9600", "NONE"},
        {"-1", "9600", "N", "", "9600", "NONE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("PORT=" + c.port + " BAUD=" + c.baud + " PARITY=" + c.parity);
        Rig rig(Settings(c.port, c.baud, c.parity));
        const Shown shown = OpenAndLook(rig);
        EXPECT_EQ(shown.port, c.shownPort);
        EXPECT_EQ(shown.baud, c.shownBaud);
        EXPECT_EQ(shown.parity, c.shownParity);
    }
}

TEST(SettingsDialog, SaveStoresAppliesPausesAndCloses) {
    Rig rig(Settings("3", "19200", "E", "-1"));
    std::int64_t pressedUs = -1, closedUs = -1;
    bool openDuringPause = false, labelsDuringPause = false, buttonsLiveDuringPause = false;
    bool openAfter = true;
    int closes = 0;
    rig.dialogUser = [&](FakeDialogWindow& d) {
        Combo(d, "cboBaud").setCurrentIndex(5);    // 57.6k
        Combo(d, "cboParity").setCurrentIndex(2);  // ODD
        pressedUs = rig.clock.nowUs();
        rig.pump.at(pressedUs + 350'000, [&] {
            openDuringPause = d.isOpen();
            labelsDuringPause = rig.label("BaudLabel").caption() == "57600";
            buttonsLiveDuringPause = DialogButton(d, "ConfigSave").enabled() && DialogButton(d, "ConfigAbort").enabled();
        });
        DialogButton(d, "ConfigSave").click();
        closedUs = rig.clock.nowUs();
        openAfter = d.isOpen();
        closes = d.closes;
    };
    rig.menu("Config").click();

    EXPECT_EQ(rig.form->PortNumber, 3);
    EXPECT_EQ(rig.form->BaudSetting, "57600");
    EXPECT_EQ(rig.form->ParitySetting, "O");
    EXPECT_EQ(rig.form->EnableStrings, -1);
    EXPECT_EQ(rig.env.read("KORVEN7.ini"), Settings("3", "57600", "O", "-1"));
    EXPECT_EQ(rig.label("CommLabel").caption(), "COM3");
    EXPECT_EQ(rig.label("BaudLabel").caption(), "57600");
    EXPECT_EQ(rig.label("ParityLabel").caption(), "ODD");
    EXPECT_EQ(rig.port.settings, "57600,O,8,1");
    EXPECT_FALSE(rig.port.isOpen());

    EXPECT_TRUE(openDuringPause);
    EXPECT_TRUE(labelsDuringPause);
    EXPECT_TRUE(buttonsLiveDuringPause);
    EXPECT_FALSE(openAfter);
    EXPECT_EQ(closes, 1);
    EXPECT_NEAR(double(closedUs - pressedUs), 700'000.0, 20'000.0);
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(SettingsDialog, SaveWritesEachRateAsDigits) {
    const std::pair<int, std::string> rates[] = {{0, "1200"},  {1, "4800"},  {2, "9600"},
                                                 {3, "19200"}, {4, "38400"}, {5, "57600"}};
    for (const auto& [index, digits] : rates) {
        SCOPED_TRACE(digits);
        Rig rig;
        rig.dialogUser = [&, index = index](FakeDialogWindow& d) {
            Combo(d, "cboBaud").setCurrentIndex(index);
            DialogButton(d, "ConfigSave").click();
        };
        rig.menu("Config").click();
        EXPECT_EQ(rig.form->BaudSetting, digits);
        EXPECT_EQ(rig.env.read("KORVEN7.ini"), Settings("1", digits, "N"));
    }
}

TEST(SettingsDialog, SaveWritesThePortOfTheChosenEntryAndKeepsOtherLinesOfTheFile) {
    const std::string before =
        "; serial settings\r\n[PORTS]\r\nCOM2=/dev/ttyUSB0\r\n[COMSETTINGS]\r\nPORT=3\r\nBAUD=9600\r\nPARITY=N\r\n"
        "\r\n[GENERAL]\r\nENABLESTRINGS=-1\r\nOTHER=kept\r\n";
    Rig rig(before);
    rig.dialogUser = [&](FakeDialogWindow& d) {
        Combo(d, "cboPort").setCurrentIndex(1);  // COM2
        DialogButton(d, "ConfigSave").click();
    };
    rig.menu("Config").click();
    std::string after = before;
    after.replace(after.find("PORT=3"), 6, "PORT=2");
    EXPECT_EQ(rig.env.read("KORVEN7.ini"), after);
    EXPECT_EQ(rig.port.portName, "/dev/ttyUSB0");
    EXPECT_EQ(rig.label("CommLabel").caption(), "COM2");
}

TEST(SettingsDialog, CloseLeavesSettingsFileAndLabelsAsTheyWere) {
    const std::string before = Settings("3", "19200", "E", "-1");
    Rig rig(before);
    const std::string portSettings = rig.port.settings;
    bool openAfter = true;
    rig.dialogUser = [&](FakeDialogWindow& d) {
        Combo(d, "cboPort").setCurrentIndex(0);
        Combo(d, "cboBaud").setCurrentIndex(0);
        Combo(d, "cboParity").setCurrentIndex(2);
        DialogButton(d, "ConfigAbort").click();
        openAfter = d.isOpen();
    };
    rig.menu("Config").click();
    EXPECT_FALSE(openAfter);
    EXPECT_EQ(rig.form->PortNumber, 3);
    EXPECT_EQ(rig.form->BaudSetting, "19200");
    EXPECT_EQ(rig.form->ParitySetting, "E");
    EXPECT_EQ(rig.env.read("KORVEN7.ini"), before);
    EXPECT_EQ(rig.port.settings, portSettings);
    EXPECT_EQ(rig.label("CommLabel").caption(), "COM3");
    EXPECT_EQ(rig.label("BaudLabel").caption(), "19200");
    EXPECT_EQ(rig.label("ParityLabel").caption(), "EVEN");
}

TEST(SettingsDialog, EachOpeningStartsFromTheCurrentSettings) {
    Rig rig;
    rig.dialogUser = [&](FakeDialogWindow& d) {
        Combo(d, "cboPort").setCurrentIndex(4);
        Combo(d, "cboParity").setCurrentIndex(1);
        DialogButton(d, "ConfigSave").click();
    };
    rig.menu("Config").click();
    const Shown shown = OpenAndLook(rig);
    EXPECT_EQ(shown.port, "COM5");
    EXPECT_EQ(shown.parity, "EVEN");
    EXPECT_EQ(shown.ports.size(), 8u);  // filled afresh, not appended to
}

TEST(SettingsDialog, SaveWithoutSelectionsStoresThemEmptyAndThePortSetUpComplains) {
    Rig rig(Settings("9", "1100", "X"));
    rig.dialogs.messages.clear();  // start-up has already complained about the rate
    bool openAfter = true;
    rig.dialogUser = [&](FakeDialogWindow& d) {
        DialogButton(d, "ConfigSave").click();
        openAfter = d.isOpen();
    };
    rig.menu("Config").click();
    EXPECT_EQ(rig.env.read("KORVEN7.ini"), Settings("0", "", "", "0"));
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].rfind("Error setting up comm port - ", 0), 0u) << rig.dialogs.messages[0];
    EXPECT_FALSE(openAfter);  // still pauses and closes
}

TEST(SettingsDialog, AFailureWhileSavingIsReportedAndTheDialogStaysOpen) {
    Rig rig(Settings("3", "19200", "E"));
    bool openAfter = false;
    rig.dialogUser = [&](FakeDialogWindow& d) {
        Combo(d, "cboBaud").setCurrentIndex(2);
        rig.pump.at(rig.clock.nowUs() + 100'000, [] { throw RuntimeError("Out of memory"); });
        DialogButton(d, "ConfigSave").click();
        openAfter = d.isOpen() && d.closes == 0;
    };
    rig.menu("Config").click();
    EXPECT_EQ(rig.dialogs.messages, (std::vector<std::string>{"Error saving configuration - Out of memory"}));
    EXPECT_TRUE(openAfter);
    // What was stored before the failure stays stored.
    EXPECT_EQ(rig.form->BaudSetting, "9600");
    EXPECT_EQ(rig.env.read("KORVEN7.ini"), Settings("3", "9600", "E"));
}

}  // namespace
}  // namespace k7::test
