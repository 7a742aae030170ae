#include <gtest/gtest.h>

#include "settings/modINI.h"
#include "settings/numbers.h"
#include "platform/runtime_error.h"
#include "support/fake_platform.h"

namespace k7::test {
namespace {

class ProfileFile : public ::testing::Test {
protected:
    TempEnvironment env;
    std::string file = env.path("KORVEN7.ini");
};

TEST_F(ProfileFile, MissingFileGivesDefaultsAndFirstWritesCreateTheUsualFile) {
    EXPECT_EQ(ReadINI(file, "COMSETTINGS", "PORT", "1"), "1");
    EXPECT_NE(WriteINI(file, "COMSETTINGS", "PORT", "1"), 0);
    WriteINI(file, "COMSETTINGS", "BAUD", "9600");
    WriteINI(file, "COMSETTINGS", "PARITY", "N");
    WriteINI(file, "GENERAL", "ENABLESTRINGS", "0");
    EXPECT_EQ(env.read("KORVEN7.ini"),
              "[COMSETTINGS]\r\nPORT=1\r\nBAUD=9600\r\nPARITY=N\r\n[GENERAL]\r\nENABLESTRINGS=0\r\n");
}

TEST_F(ProfileFile, NamesMatchWhateverTheirLetterCaseAndValuesComeWithoutKeyAndBlanks) {
    env.write("KORVEN7.ini", "[comSettings]\nPort = 3 \nbaud=\n[General]\nENABLESTRINGS=-1\n");
    EXPECT_EQ(ReadINI(file, "COMSETTINGS", "PORT", "1"), "3");
    EXPECT_EQ(ReadINI(file, "COMSETTINGS", "BAUD", "9600"), "") << "present but empty is not the default";
    EXPECT_EQ(ReadINI(file, "COMSETTINGS", "PARITY", "N"), "N");
    EXPECT_EQ(ReadINI(file, "GENERAL", "ENABLESTRINGS", "0"), "-1");
    EXPECT_EQ(ReadINI(file, "OTHER", "PORT", "x"), "x") << "a key of another section does not count";
}

TEST_F(ProfileFile, WriteReplacesInPlaceAndKeepsEveryOtherByte) {
    const std::string before =
        "; settings of the KORVEN7 tool\r\n[COMSETTINGS]\r\nport=2\r\n# keep me\r\nBAUD=9600\r\n\r\n[PORTS]\r\n"
        "COM1=/dev/ttyUSB0\r\n";
    env.write("KORVEN7.ini", before);
    WriteINI(file, "ComSettings", "PORT", "5");
    std::string expected = before;
    expected.replace(expected.find("port=2"), 6, "PORT=5");
    EXPECT_EQ(env.read("KORVEN7.ini"), expected);

    // A new key joins the end of its own section, before the blank line and the next section.
    WriteINI(file, "COMSETTINGS", "PARITY", "E");
    expected.insert(expected.find("\r\n\r\n[PORTS]") + 2, "PARITY=E\r\n");
    EXPECT_EQ(env.read("KORVEN7.ini"), expected);
}

TEST_F(ProfileFile, LineEndsOfTheFileAreKeptAndALastLineWithoutEndIsFinished) {
    env.write("KORVEN7.ini", "[GENERAL]\nENABLESTRINGS=0");
    WriteINI(file, "COMSETTINGS", "PORT", "2");
    EXPECT_EQ(env.read("KORVEN7.ini"), "[GENERAL]\nENABLESTRINGS=0\n[COMSETTINGS]\nPORT=2\n");
}

TEST_F(ProfileFile, LongValuesAreCutTo1023Characters) {
    WriteINI(file, "GENERAL", "NOTE", std::string(1500, 'x'));
    EXPECT_EQ(ReadINI(file, "GENERAL", "NOTE", ""), std::string(1023, 'x'));
    EXPECT_EQ(ReadINI(file, "GENERAL", "MISSING", std::string(1100, 'd')).size(), 1023u);
}

TEST_F(ProfileFile, AFailedWriteReportsZeroAndLeavesNothingBehind) {
    env.write("blocker", "a file where a folder should be");
    EXPECT_EQ(WriteINI(env.path("blocker") + "/KORVEN7.ini", "COMSETTINGS", "PORT", "1"), 0);
    EXPECT_EQ(env.read("blocker"), "a file where a folder should be");
}

TEST(PortNames, PortNumberNamesALinuxDeviceUnlessTheSettingsFileMapsIt) {
    TempEnvironment env;
    const std::string file = env.path("KORVEN7.ini");
    EXPECT_EQ(PortDeviceName(file, 4), "/dev/ttyS3");
    env.write("KORVEN7.ini", "[PORTS]\r\ncom2=/dev/ttyUSB0\r\n");
    EXPECT_EQ(PortDeviceName(file, 2), "/dev/ttyUSB0");
    EXPECT_EQ(PortDeviceName(file, 1), "/dev/ttyS0");
    EXPECT_THROW(PortDeviceName(file, 0), RuntimeError);
    EXPECT_THROW(PortDeviceName(file, -3), RuntimeError);
}

TEST(NumberConversion, BlanksFractionsAndFailures) {
    const std::pair<const char*, int> good[] = {{"1", 1}, {" 3 ", 3}, {"-1", -1}, {"2.5", 2}, {"3.5", 4},
                                                {"-2.5", -2}, {"32767", 32767}, {"-32768", -32768}, {"1e2", 100},
                                                {"+7", 7}, {".5", 0}, {"0.51", 1}};
    for (const auto& [text, value] : good) EXPECT_EQ(ToInt16(text), value) << text;
    const std::pair<const char*, const char*> bad[] = {
        {"", kTypeMismatch},   {" ", kTypeMismatch},    {"abc", kTypeMismatch},  {"1x", kTypeMismatch},
        {"0x10", kTypeMismatch}, {"--1", kTypeMismatch}, {"1 2", kTypeMismatch},  {"32768", kOverflow},
        {"-32769", kOverflow}, {"1e9", kOverflow},       {"32767.5", kOverflow},
    };
    for (const auto& [text, error] : bad) {
        try {
            ADD_FAILURE() << text << " was accepted as " << ToInt16(text);
        } catch (const RuntimeError& e) {
            EXPECT_STREQ(e.what(), error) << text;
        }
    }
    EXPECT_EQ(ToInt32("57600"), 57600);
}

}  // namespace
}  // namespace k7::test
