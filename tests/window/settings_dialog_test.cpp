// The Configuration dialog: the ports it offers, Find KORVEN7, and what SAVE stores.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "support/window_rig.h"

namespace k7::test {
namespace {

using namespace controls;

// A settings file that cannot be written: the choice is reported unsaved and is in force for this run.
TEST(SettingsDialog, StoresAndAppliesTheChoiceAndAppliesItEvenWhenItCannotStoreIt) {
    const std::string before = "; my settings\n[COMSETTINGS]\nPORT=12\nBAUD=300\nPARITY=M\n[PORTS]\nCOM3=/dev/ttyUSB0\n";
    for (bool writable : {true, false}) {
        Rig rig(before);
        const std::string ini = rig.program.env.path("KORVEN7.ini");
        if (!writable) ::chmod(ini.c_str(), 0444);
        InSettingsDialog(rig, [&](QDialog& dialog) {
            dialog.findChild<QComboBox*>(config::kPorts)->setCurrentIndex(2);
            dialog.findChild<QComboBox*>(config::kBauds)->setCurrentText("19.2k");  // parity: none to select
            dialog.findChild<QPushButton*>(config::kSave)->click();
            if (dialog.isVisible()) dialog.findChild<QPushButton*>(config::kClose)->click();
        });
        EXPECT_EQ(rig.program.env.read("KORVEN7.ini"),
                  writable ? "; my settings\n[COMSETTINGS]\nPORT=3\nBAUD=19200\nPARITY=M\n[PORTS]\nCOM3=/dev/ttyUSB0\n"
                             "[GENERAL]\nENABLESTRINGS=0\nBACKUP=0\n"
                           : before);
        EXPECT_EQ(rig.port.portName, "/dev/ttyUSB0");
        EXPECT_EQ(rig.program.caption(kBaud) + rig.program.caption(kPort), "19200COM3 (ttyUSB0)");
        EXPECT_EQ(rig.window().settings().serial.baud, 19200);
        EXPECT_EQ(rig.program.dialogs.messages,
                  writable ? std::vector<std::string>{}
                           : std::vector<std::string>{"Error saving configuration - The file is read-only; nothing was "
                                                      "written\nThe new settings are in force until the program ends."});
    }
}

// The port list's entries from `first` on, each with the device shown beside it.
std::vector<std::string> PortRows(QDialog& dialog, int first) {
    auto* box = dialog.findChild<QComboBox*>(config::kPorts);
    std::vector<std::string> rows;
    for (int i = first; i < box->count(); ++i)
        rows.push_back((box->itemText(i) + " " + box->model()->index(i, 1).data().toString()).toStdString());
    return rows;
}

SerialPortInfo Adapter(const std::string& device, const std::string& stablePath = "") {
    return {device, "FT232R USB UART", "FTDI", "A5", stablePath};
}

TEST(SettingsDialog, OffersThePortsThereAreFollowsPluggingAndStoresAnAdapterByItsStablePath) {
    Rig rig("[COMSETTINGS]\nPORT=2\n[PORTS]\nCOM14=/dev/k7-gone\nCOM12=/dev/null\n");
    rig.program.ports.list = {{"/dev/ttyS0", "", "", "", ""}, Adapter("/dev/ttyUSB0")};
    InSettingsDialog(rig, [&](QDialog& dialog) {
        EXPECT_EQ(PortRows(dialog, 0).front(), "COM1 /dev/ttyS0");
        EXPECT_EQ(PortRows(dialog, 7), (std::vector<std::string>{"COM8 /dev/ttyS7 (does not exist)",
                                                                 "COM9 /dev/ttyUSB0: FT232R USB UART, FTDI, serial A5",
                                                                 "COM12 /dev/null", "COM14 /dev/k7-gone (does not exist)"}));
        EXPECT_EQ(dialog.findChild<QLabel*>(config::kPortDetail)->text(), "/dev/ttyS1 (does not exist)");
        rig.program.ports.list = {Adapter("/dev/ttyACM0", "/dev/serial/by-id/usb-K7-if00")};  // one out, one in
        rig.pump.waitEvents();  // the next look at the system's ports
        EXPECT_EQ(PortRows(dialog, 8), (std::vector<std::string>{"COM10 /dev/ttyACM0: FT232R USB UART, FTDI, serial A5",
                                                                 "COM12 /dev/null", "COM14 /dev/k7-gone (does not exist)"}));
        dialog.findChild<QComboBox*>(config::kPorts)->setCurrentIndex(8);
        dialog.findChild<QPushButton*>(config::kSave)->click();
    });
    const std::string ini = rig.program.env.read("KORVEN7.ini");
    EXPECT_NE(ini.find("PORT=10\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("COM12=/dev/null\nCOM10=/dev/serial/by-id/usb-K7-if00\n"), std::string::npos) << ini;
    EXPECT_EQ(rig.port.portName, "/dev/serial/by-id/usb-K7-if00");
    EXPECT_EQ(rig.program.caption(kPort), "COM10 (usb-K7-if00)");
    EXPECT_EQ(rig.program.widget(kPort)->toolTip(), "/dev/ttyACM0: FT232R USB UART, FTDI, serial A5");
}

TEST(SettingsDialog, FindSendsOnlyTheVersionRequestSkipsABusyPortAndSelectsTheFirstPortAndRateThatAnswer) {
    Rig rig;
    Korven7Emulator silent, at19200(19200), at9600(9600);
    silent.faults().silent = true;
    rig.port.wired = {{"/dev/ttyUSB0", &silent}, {"/dev/ttyUSB2", &at19200}, {"/dev/ttyUSB3", &at9600}};
    rig.port.failOpenAt["/dev/ttyUSB1"] = {PortFailure::Busy, "Locked (ttyUSB1) - in use by another program"};
    auto& ports = rig.program.ports.list;
    ports = {Adapter("/dev/ttyUSB0"), Adapter("/dev/ttyUSB1")};
    const std::string skipped = "\nSkipped COM10 (ttyUSB1): Locked (ttyUSB1) - in use by another program";
    InSettingsDialog(rig, [&](QDialog& dialog) {
        auto* find = dialog.findChild<QPushButton*>(config::kFind);
        const auto shown = [&] {
            return (dialog.findChild<QLabel*>(config::kFindStatus)->text() + "|" + dialog.findChild<QComboBox*>(config::kPorts)->currentText() +
                    " " + dialog.findChild<QComboBox*>(config::kBauds)->currentText()).toStdString();
        };
        find->click();
        EXPECT_EQ(shown(), "No KORVEN7 answered on any port at any baud rate. Check the cable, that the KORVEN7 has power, "
                           "and that no other program holds the port." + skipped + "|COM1 9600");
        ports.push_back(Adapter("/dev/ttyUSB2"));
        ports.push_back(Adapter("/dev/ttyUSB3"));
        rig.pump.waitEvents();
        rig.pump.at(rig.clock.nowUs() + 30'000, [&] { find->click(); });  // Stop, during the second question
        find->click();
        EXPECT_EQ(shown(), "Search stopped." + skipped + "|COM1 9600");
        find->click();  // the selected rate first, on every port
        EXPECT_EQ(shown(), "Found on COM12 (ttyUSB3) at 9600 baud: KORVEN7 V2.14. SAVE keeps this port and rate." +
                               skipped + "|COM12 9600");
        ports.pop_back();
        rig.pump.waitEvents();
        find->click();
        EXPECT_EQ(shown(), "Found on COM11 (ttyUSB2) at 19200 baud: KORVEN7 V2.14. SAVE keeps this port and rate." +
                               skipped + "|COM11 19.2k");
        auto* baud = dialog.findChild<QComboBox*>(config::kBauds);
        QTest::keyClick(baud, Qt::Key_Down);  // the user picks another rate, and back: the result is gone
        QTest::keyClick(baud, Qt::Key_Up);
        EXPECT_EQ(shown(), "|COM11 19.2k");
        dialog.findChild<QPushButton*>(config::kSave)->click();
    });
    const std::string ini = rig.program.env.read("KORVEN7.ini");
    EXPECT_NE(ini.find("PORT=11\r\nBAUD=19200\r\n"), std::string::npos) << ini;
    EXPECT_EQ(rig.program.caption(kPort), "COM11 (ttyUSB2)");
    std::string versionRequests;
    while (versionRequests.size() < rig.port.sent.size()) versionRequests += "/V";
    EXPECT_EQ(rig.port.sent, versionRequests);
}

}  // namespace
}  // namespace k7::test
