#include <gtest/gtest.h>

#include "support/rig.h"

namespace k7::test {
namespace {

// The three labels of the port settings, as one text.
std::string Labels(Rig& rig) {
    return rig.label("CommLabel").caption() + " " + rig.label("BaudLabel").caption() + " " +
           rig.label("ParityLabel").caption();
}

TEST(StartUpSettings, FileValuesReachTheGlobalsThePortAndTheLabels) {
    Rig partial("[COMSETTINGS]\r\nBAUD=19200\r\n");
    EXPECT_EQ(partial.form->BaudSetting + partial.form->ParitySetting, "19200N");
    EXPECT_EQ(partial.form->PortNumber, 1);
    EXPECT_EQ(partial.form->EnableStrings, 0);

    Rig full("[COMSETTINGS]\r\nPORT=3\r\nBAUD=9600\r\nPARITY=E\r\n[GENERAL]\r\nENABLESTRINGS=-1\r\n");
    EXPECT_EQ(full.port.settings, "9600,E,8,1");
    EXPECT_EQ(full.port.portName, "/dev/ttyS2");
    EXPECT_EQ(full.form->EnableStrings, -1);
    EXPECT_EQ(Labels(full), "COM3 9600 EVEN");
    EXPECT_TRUE(full.dialogs.messages.empty());

    Rig odd("[COMSETTINGS]\r\nPARITY=O\r\nPORT= 2.5 \r\n");
    EXPECT_EQ(Labels(odd), "COM2 9600 ODD") << "2.5 rounds to the even 2";
    EXPECT_FALSE(odd.port.isOpen()) << "start-up never opens the port";
}

TEST(StartUpSettings, ABadNumberIsReportedAndTheRestOfStartUpStillRuns) {
    const std::pair<const char*, const char*> cases[] = {
        {"[COMSETTINGS]\r\nPORT=\r\nPARITY=E\r\n", "Error detected - Type mismatch"},
        {"[COMSETTINGS]\r\nPORT=40000\r\nPARITY=E\r\n", "Error detected - Overflow"},
        {"[COMSETTINGS]\r\nPARITY=E\r\n[GENERAL]\r\nENABLESTRINGS=yes\r\n", "Error detected - Type mismatch"},
    };
    for (const auto& [file, message] : cases) {
        Rig rig(file);
        EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{message}) << file;
        EXPECT_EQ(rig.form->PortNumber, 1) << "the bad setting keeps its default";
        EXPECT_EQ(Labels(rig), "COM1 9600 EVEN") << "the port set-up still ran";
        EXPECT_EQ(rig.form->KeyTable[95].Legend, "KPdel") << "the key table is still built";
    }
}

TEST(StartUpSettings, SettingsThePortCannotApplyAreReportedAndTheLabelsStay) {
    const std::pair<const char*, const char*> cases[] = {
        {"BAUD=fast", "Invalid property value"}, {"PARITY=X", "Invalid property value"}, {"PORT=0", "Invalid port number"}};
    for (const auto& [line, description] : cases) {
        Rig rig("[COMSETTINGS]\r\n" + std::string(line) + "\r\n");
        EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{"Error setting up comm port - " + std::string(description)});
        EXPECT_EQ(rig.form->KeyTable[0].Output, "a");
    }
    Rig rig("[COMSETTINGS]\r\nBAUD=fast\r\n");
    EXPECT_EQ(rig.label("CommLabel").caption(), "COM2") << "the designed text stays when the set-up stops early";
}

TEST(StartUpSettings, SetupClosesAPortLeftOpenAndUsesThePortsSection) {
    Rig rig("[PORTS]\r\nCOM1=/tmp/ttyKORVEN7\r\n");
    EXPECT_EQ(rig.port.portName, "/tmp/ttyKORVEN7");
    rig.port.open();
    rig.form->PortNumber = 2;
    rig.form->SetupCommPort();
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.port.portName, "/dev/ttyS1");
    EXPECT_EQ(rig.label("CommLabel").caption(), "COM2");
}

}  // namespace
}  // namespace k7::test
