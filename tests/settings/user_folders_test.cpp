#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/user_folders.h"
#include "support/fake_platform.h"

namespace k7::test {
namespace {

struct Machine {
    TempEnvironment root;
    std::map<std::string, std::string> vars;
    UserFolders resolve(bool programFolderWritable) {
        return ResolveUserFolders(
            root.path("opt"), [this](const char* n) { return vars[n]; },
            [programFolderWritable](const std::string&) { return programFolderWritable; });
    }
};

TEST(UserFolders, AWritableProgramFolderKeepsEverythingBesideTheProgram) {
    Machine m;
    m.vars["HOME"] = m.root.path("home");
    const UserFolders f = m.resolve(true);
    EXPECT_EQ(f.settingsFile, m.root.path("opt") + "/KORVEN7.ini");
    EXPECT_EQ(f.documentsFolder, m.root.path("opt"));
}

TEST(UserFolders, AnInstalledProgramKeepsSettingsInTheUsersConfigFolder) {
    Machine m;
    std::filesystem::create_directories(m.root.path("opt"));
    m.root.write("opt/KORVEN7.ini", "[COMSETTINGS]\r\nPORT=2\r\n");
    m.vars["HOME"] = m.root.path("home");
    const UserFolders f = m.resolve(false);
    EXPECT_EQ(f.settingsFile, m.root.path("home") + "/.config/korven7-config/KORVEN7.ini");
    EXPECT_EQ(f.documentsFolder, m.root.path("home"));
    EXPECT_EQ(m.root.read("home/.config/korven7-config/KORVEN7.ini"), "[COMSETTINGS]\r\nPORT=2\r\n")
        << "the shipped settings are the user's starting point";

    // The user's own settings are never overwritten by the shipped ones.
    m.root.write("home/.config/korven7-config/KORVEN7.ini", "[COMSETTINGS]\r\nPORT=5\r\n");
    m.resolve(false);
    EXPECT_EQ(m.root.read("home/.config/korven7-config/KORVEN7.ini"), "[COMSETTINGS]\r\nPORT=5\r\n");

    m.vars["XDG_CONFIG_HOME"] = m.root.path("cfg");
    EXPECT_EQ(m.resolve(false).settingsFile, m.root.path("cfg") + "/korven7-config/KORVEN7.ini");
    m.vars["XDG_CONFIG_HOME"] = "relative/ignored";
    EXPECT_EQ(m.resolve(false).settingsFile, m.root.path("home") + "/.config/korven7-config/KORVEN7.ini");
}

}  // namespace
}  // namespace k7::test
