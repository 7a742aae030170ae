// The settings file, the settings read from it and where it lives.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/disk_file_store.h"
#include "platform/runtime_error.h"
#include "platform/user_folders.h"
#include "settings/ini_file.h"
#include "settings/serial_settings.h"

namespace k7 {
namespace {

namespace fs = std::filesystem;

class Folder : public ::testing::Test {
protected:
    std::string dir = [] {
        std::string pattern = (fs::temp_directory_path() / "k7logic-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    std::string ini = dir + "/KORVEN7.ini";
    ~Folder() override { fs::remove_all(dir); }
    static void put(const std::string& path, const std::string& content) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string get(const std::string& path) {
        std::ostringstream content;
        content << std::ifstream(path, std::ios::binary).rdbuf();
        return content.str();
    }
};

using IniFile = Folder;

TEST_F(IniFile, AMissingFileGivesDefaultsAndWritesCreateFileSectionAndKey) {
    EXPECT_EQ(readIniValue(ini, "COMSETTINGS", "PORT", "1"), "1");
    writeIniValue(ini, "COMSETTINGS", "PORT", "1");
    writeIniValue(ini, "COMSETTINGS", "BAUD", "9600");
    writeIniValue(ini, "GENERAL", "ENABLESTRINGS", "0");
    EXPECT_EQ(get(ini), "[COMSETTINGS]\r\nPORT=1\r\nBAUD=9600\r\n[GENERAL]\r\nENABLESTRINGS=0\r\n");
}

TEST_F(IniFile, NamesMatchWhateverTheirCase) {
    put(ini, "[comSettings]\nPort = 3 \nbaud=\n[PORTS]\nPARITY=O\n[General]\nENABLESTRINGS=-1\n");
    const auto value = [&](const char* section, const char* key) { return readIniValue(ini, section, key, "-") + "|"; };
    EXPECT_EQ(value("COMSETTINGS", "PORT") + value("COMSETTINGS", "BAUD") + value("COMSETTINGS", "PARITY") +
                  value("general", "enablestrings"),
              "3||-|-1|");
}

TEST_F(IniFile, AWriteReplacesInPlaceAndKeepsEveryOtherByte) {
    const std::string before = "; KORVEN7\r\n[PORTS]\r\nPORT=9\r\n[COMSETTINGS]\r\nport=2\r\n# keep\r\nBAUD=9600\r\n"
                               "\r\n[OTHER]\r\nX=1\r\n";
    put(ini, before);
    writeIniValue(ini, "ComSettings", "PORT", "5");
    std::string expected = before;
    expected.replace(expected.find("port=2"), 6, "PORT=5");
    EXPECT_EQ(get(ini), expected);
    writeIniValue(ini, "COMSETTINGS", "PARITY", "E");  // a new key joins the end of its section
    expected.insert(expected.find("\r\n\r\n[OTHER]") + 2, "PARITY=E\r\n");
    EXPECT_EQ(get(ini), expected);
    put(ini, "[GENERAL]\nENABLESTRINGS=0");
    writeIniValue(ini, "COMSETTINGS", "PORT", "2");
    EXPECT_EQ(get(ini), "[GENERAL]\nENABLESTRINGS=0\n[COMSETTINGS]\nPORT=2\n");
}

TEST_F(IniFile, ValuesAreCutTo1023Characters) {
    writeIniValue(ini, "GENERAL", "NOTE", std::string(1500, 'x'));
    EXPECT_EQ(readIniValue(ini, "GENERAL", "NOTE", ""), std::string(1023, 'x'));
    EXPECT_EQ(readIniValue(ini, "GENERAL", "MISSING", std::string(1100, 'd')), std::string(1023, 'd'));
}

TEST_F(IniFile, AWriteKeepsLinkAndPermissionsAndNeverLeavesAFileHalfWritten) {
    EXPECT_THROW(writeIniValue(dir + "/none/KORVEN7.ini", "A", "B", "1"), RuntimeError);
    EXPECT_FALSE(fs::exists(dir + "/none"));
    put(ini, "old");
    fs::permissions(ini, fs::perms(0640));
    fs::create_symlink(ini, dir + "/link.ini");
    replaceFileContent(dir + "/link.ini", "new");
    EXPECT_TRUE(fs::is_symlink(dir + "/link.ini"));
    EXPECT_EQ(get(ini) + " " + std::to_string(int(fs::status(ini).permissions())), "new 416");
    // No room for a temporary file's name (or folder for it): written in place, if it can be done whole.
    const std::string longName = dir + "/" + std::string(250, 'k');
    put(longName, "old");
    replaceFileContent(longName, "new");
    EXPECT_EQ(get(longName), "new");
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const rlimit small{100, before.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(replaceFileContent(longName, std::string(500, 'x')), RuntimeError);
    ::setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_EQ(get(longName), "new");
}

using Settings = Folder;

TEST_F(Settings, ReadBackWhatWasSavedInOneWriteAndBadValuesAreReportedAndDefaulted) {
    const std::string mine = "; mine\r\n[PORTS]\r\ncom3=/dev/ttyUSB0\r\n";
    put(ini, mine);
    SettingsFile file(ini);
    file.setProgram({{3, 19200, 'E'}, -1});
    file.setPortDevice(12, "/dev/ttyACM0");
    file.setKeyMapPlace({1, 2, 3, 4});
    put(ini, "changed meanwhile");
    EXPECT_EQ(get(ini), "changed meanwhile");  // nothing is written before the save, then all at once
    file.save();
    EXPECT_EQ(get(ini).rfind(mine + "COM12=/dev/ttyACM0\r\n[COMSETTINGS]\r\nPORT=3\r\n", 0), 0u) << get(ini);
    const SettingsFile back(ini);
    EXPECT_EQ(back.portDevice(3) + " " + back.portDevice(12) + " " + back.portDevice(1) + " " +
                  SettingsFile(dir + "/no.ini").portDevice(4),
              "/dev/ttyUSB0 /dev/ttyACM0 /dev/ttyS0 /dev/ttyS3");
    EXPECT_EQ(back.keyMapPlace({})->height, 4);
    const struct { std::string lines; SerialSettings serial; int enable; std::vector<std::string> reports; } cases[] = {
        {get(ini), {3, 19200, 'E'}, -1, {}},
        {"", {1, 9600, 'N'}, 0, {}},
        {"PORT= 2.5 \nBAUD=115200\nPARITY=o", {2, 115200, 'O'}, 0, {}},
        {"PORT=x\nBAUD=50\nPARITY=E\n[GENERAL]\nENABLESTRINGS=1", {1, 50, 'E'}, 1, {"Error detected - Type mismatch"}},
        {"PORT=32768\nPARITY=S", {1, 9600, 'S'}, 0, {"Error detected - Overflow"}},
        {"PORT=32767\n[GENERAL]\nENABLESTRINGS=yes", {32767, 9600, 'N'}, 0, {"Error detected - Type mismatch"}},
        {"PORT=0\nBAUD=4800", {1, 4800, 'N'}, 0, {"Error setting up comm port - Invalid port number"}},
        {"PORT=4\nBAUD=fast\nPARITY=M", {4, 9600, 'M'}, 0, {"Error setting up comm port - Invalid property value"}},
        {"BAUD=2400\nPARITY=X", {1, 2400, 'N'}, 0, {"Error setting up comm port - Invalid property value"}},
        {"BAUD=49\nPARITY=E", {1, 9600, 'E'}, 0, {"Error setting up comm port - Invalid property value"}},
    };
    for (const auto& c : cases) {
        put(ini, "[COMSETTINGS]\n" + c.lines + "\n");
        std::vector<std::string> reports;
        const ProgramSettings s = SettingsFile(ini).program([&](const std::string& m) { reports.push_back(m); });
        EXPECT_EQ(s.serial, c.serial) << c.lines;
        EXPECT_EQ(s.enableStrings, c.enable) << c.lines;
        EXPECT_EQ(reports, c.reports) << c.lines;
    }
}

using UserFolderChoice = Folder;

TEST_F(UserFolderChoice, AWritableProgramFolderKeepsAllBesideItAndAnInstalledOneUsesTheConfigFolder) {
    std::map<std::string, std::string> vars{{"HOME", dir + "/home"}, {"XDG_CONFIG_HOME", dir + "/cfg"}};
    const auto resolve = [&](bool writable) {
        return ResolveUserFolders(dir + "/opt", [&](const char* n) { return vars[n]; },
                                  [=](const std::string&) { return writable; });
    };
    const UserFolders beside = resolve(true);
    EXPECT_EQ(beside.settingsFile + " " + beside.documentsFolder, dir + "/opt/KORVEN7.ini " + dir + "/opt");
    put(dir + "/opt/KORVEN7.ini", "PORT=2");
    const UserFolders f = resolve(false);
    EXPECT_EQ(f.settingsFile + " " + f.documentsFolder, dir + "/cfg/korven7-config/KORVEN7.ini " + dir + "/home");
    EXPECT_EQ(get(f.settingsFile), "PORT=2");
    put(f.settingsFile, "PORT=5");  // the user's own settings are never overwritten
    resolve(false);
    EXPECT_EQ(get(f.settingsFile), "PORT=5");
    vars["XDG_CONFIG_HOME"] = "relative";
    EXPECT_EQ(resolve(false).settingsFile, dir + "/home/.config/korven7-config/KORVEN7.ini");
    // Installed: the data in <prefix>/share, the settings never beside the program, even for root.
    fs::create_directories(dir + "/usr/bin");
    fs::create_directories(dir + "/usr/share/korven7-config");
    const UserFolders installed = ResolveUserFolders(dir + "/usr/bin", [&](const char* n) { return vars[n]; },
                                                     [](const std::string&) { return true; });
    EXPECT_EQ(installed.settingsFile + " " + installed.dataFolder,
              dir + "/home/.config/korven7-config/KORVEN7.ini " + dir + "/usr/share/korven7-config");
    EXPECT_EQ(beside.dataFolder, dir + "/opt");
}

}  // namespace
}  // namespace k7
