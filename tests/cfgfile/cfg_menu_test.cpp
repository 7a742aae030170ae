// Open, Save and Save As through the File menu, on real files in the program folder.
#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/rig.h"

namespace k7::test {
namespace {

namespace fs = std::filesystem;
using Entries = std::vector<std::string>;

class CfgMenu : public ::testing::Test {
protected:
    Rig rig;
    const Entries& messages = rig.dialogs.messages;

    void ask(const char* item, const std::optional<std::string>& answer) {
        rig.dialogs.fileAnswers.push_back(answer);
        rig.menu(item).click();
    }
    void open(const std::optional<std::string>& answer) { ask("FOpen", answer); }
    void saveAs(const std::optional<std::string>& answer) { ask("SaveAs", answer); }
    void save() { rig.menu("FSave").click(); }
    void fill(const Entries& entries) {
        for (const auto& e : entries) rig.listBox("List1").addItem(e);
    }
    std::string path(const std::string& name) const { return rig.env.path(name); }
    // The name shown, the name kept and the label, as one text.
    std::string names() { return rig.form->CfgFileName + " " + rig.label("CfgLabel").caption(); }
};

TEST_F(CfgMenu, EveryByteValueSurvivesSaveAndOpen) {
    // Every byte 0x01-0xFF in ten-unit strings; TAB, LF and "{" as groups, the rest plain.
    Entries entries;
    std::string notation;
    for (int b = 1; b <= 0xFF; ++b) {
        notation += b == '\t' ? "{09}" : b == '\n' ? "{0A}" : b == '{' ? "{7B}" : std::string(1, char(b));
        if (b % 10 == 0 || b == 0xFF) {
            entries.push_back("K" + std::to_string(entries.size()) + "\t" + notation);
            notation.clear();
        }
    }
    entries.push_back("\x80\xFF #legend\t\r");  // odd legend; a string that ends in CR
    fill(entries);
    saveAs(path("all.cfg"));
    EXPECT_EQ(messages, Entries{"Save Successful"});
    EXPECT_NE(rig.env.read("all.cfg").find("\x80\x81\x82"), std::string::npos) << "bytes above 0x7F are written as they are";
    rig.listBox("List1").clear();
    open(path("all.cfg"));
    EXPECT_EQ(rig.list(), entries);
    EXPECT_EQ(messages, Entries{"Save Successful"});
}

TEST_F(CfgMenu, HandWrittenFileReadsEntryLinesOnly) {
    rig.env.write("hand.cfg",
                  "# my keys\n\n   \n  001\tA\tHello{0D}\n#002\tB\tcommented out\n-3\tF1\tnegative\n"
                  "004\tF2\tfour\tfields\n005\tF3\nabc\tF4\tletters\n101\tF5\ttoo big\n"
                  "006\ta\ttrailing blanks  \r\n100\tF7\t last line");
    fill({"old\tentry"});
    open(path("hand.cfg"));
    EXPECT_EQ(rig.list(), (Entries{"A\tHello{0D}", "F1\tnegative", "F2\tfour", "a\ttrailing blanks", "F7\t last line"}));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(names(), path("hand.cfg") + " hand.cfg");
    const auto& asked = rig.dialogs.asked.at(0);
    EXPECT_EQ(asked.kind + " " + asked.folder, "open " + rig.env.documentsFolder());
    EXPECT_EQ(asked.filter, "KORV (*.cfg)|*.cfg|All Files (*.*)|*.*");
}

TEST_F(CfgMenu, WindowEventsAreServedWhileAFileLoads) {
    fill(Entries(50, "A\tx"));
    saveAs(path("long.cfg"));
    int seen = -1;
    rig.pump.at(rig.clock.nowUs(), [&] { seen = int(rig.list().size()); });
    open(path("long.cfg"));
    EXPECT_GE(seen, 0);
    EXPECT_LT(seen, 50);
    EXPECT_EQ(rig.list().size(), 50u);
}

TEST_F(CfgMenu, CancelledOpenKeepsListAndName) {
    rig.env.write("keys.cfg", "001\tA\tx\n");
    open(path("keys.cfg"));
    fill({"B\tunsaved"});
    open(std::nullopt);
    EXPECT_EQ(rig.list(), (Entries{"A\tx", "B\tunsaved"}));
    EXPECT_EQ(names(), path("keys.cfg") + " keys.cfg");
    EXPECT_TRUE(messages.empty());
}

TEST_F(CfgMenu, OpenReportsAFileThatCannotBeOpenedOrALineThatOverflows) {
    fs::create_directory(path("folder.cfg"));
    rig.env.write("over.cfg", "001\tA\tx\r\n-40000\tB\ty\r\n003\tC\tz\r\n");
    const std::string noFile = "Error opening specified config file. No such file or directory";
    const struct { std::string name, message, label; Entries list; } cases[] = {
        {"missing.cfg", noFile, "missing.cfg", {}},
        {"sub/a\\b.cfg", noFile, "b.cfg", {}},  // the label shows the name after either separator
        {"folder.cfg", "Error opening specified config file. Is a directory", "folder.cfg", {}},
        {"over.cfg", "Error extracting info from config file. Overflow", "over.cfg", {"A\tx", "C\tz"}},  // reading goes on
    };
    for (const auto& c : cases) {
        rig.dialogs.messages.clear();
        fill({"old\tx"});
        open(path(c.name));
        EXPECT_EQ(messages, Entries{c.message});
        EXPECT_EQ(rig.list(), c.list) << c.name;
        EXPECT_EQ(names(), path(c.name) + " " + c.label);
    }
}

TEST_F(CfgMenu, SaveWithoutANameOrACancelledSaveAsWritesNothing) {
    fill({"A\tx"});
    save();
    EXPECT_TRUE(rig.dialogs.asked.empty());
    saveAs(std::string());
    EXPECT_EQ(messages, (Entries{"No filename entered", "No filename entered"}));
    saveAs(std::nullopt);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(names(), " None");
    const auto& asked = rig.dialogs.asked.at(0);
    EXPECT_EQ(asked.kind + " " + asked.folder, "save " + rig.env.documentsFolder());
    EXPECT_EQ(asked.filter, "KORV (*.cfg)|*.cfg");
}

TEST_F(CfgMenu, SaveAsWritesExactlyTheTypedName) {
    fill({"A\tx"});
    saveAs(path("mykeys"));
    EXPECT_EQ(messages, Entries{"Save Successful"});
    EXPECT_TRUE(fs::is_regular_file(path("mykeys")));
    EXPECT_FALSE(fs::exists(path("mykeys.cfg")));
    EXPECT_EQ(names(), path("mykeys") + " None");
    EXPECT_EQ(rig.dialogs.asked.size(), 1u) << "no question for a new file";
}

TEST_F(CfgMenu, OverwriteQuestionGuardsAnExistingFile) {
    const std::string old = "#old\r\n001\tOLD\tv\r\n002\tOLD2\tw\r\n";
    rig.env.write("keys.cfg", old);
    fill({"A\tx"});
    rig.dialogs.confirmAnswers = {false, false, true};
    saveAs(path("keys.cfg"));
    EXPECT_EQ(rig.form->CfgFileName, path("keys.cfg")) << "the name is taken even after No";
    save();
    EXPECT_EQ(rig.env.read("keys.cfg"), old);
    EXPECT_TRUE(messages.empty());
    save();
    EXPECT_EQ(messages, Entries{"Save Successful"});
    EXPECT_EQ(rig.env.read("keys.cfg").find("OLD"), std::string::npos) << "the whole file is replaced";
    EXPECT_NE(rig.env.read("keys.cfg").find("\r\n001\tA\tx\r\n"), std::string::npos);
    ASSERT_EQ(rig.dialogs.asked.size(), 4u);  // the save dialog, three questions
    for (int i : {1, 2, 3})
        EXPECT_EQ(rig.dialogs.asked[i].kind + rig.dialogs.asked[i].text + rig.dialogs.asked[i].title,
                  "confirmFile exists -- want to overwrite? Y/NConfirm");
}

TEST_F(CfgMenu, SaveWhereNoFileCanBeMadeIsReported) {
    rig.env.write("plain", "x");
    fill({"A\tx"});
    for (const auto& [name, description] : {std::pair{"nofolder/keys.cfg", "No such file or directory"},
                                            std::pair{"plain/keys.cfg", "Not a directory"}}) {
        rig.dialogs.messages.clear();
        saveAs(path(name));
        EXPECT_EQ(messages, Entries{"Error saving file " + std::string(description)});
        EXPECT_FALSE(fs::exists(path(name)));
    }
}

TEST_F(CfgMenu, SaveThroughALinkReplacesTheLinkedFile) {
    fs::create_directory(path("real"));
    rig.env.write("real/keys.cfg", "#old\r\n");
    fs::create_symlink(path("real/keys.cfg"), path("link.cfg"));
    fill({"A\tx"});
    rig.dialogs.confirmAnswers = {true};
    saveAs(path("link.cfg"));
    EXPECT_TRUE(fs::is_symlink(path("link.cfg")));
    EXPECT_NE(rig.env.read("real/keys.cfg").find("001\tA\tx\r\n"), std::string::npos);
}

// Makes a folder refuse new entries: read-only for an ordinary user, immutable for root,
// who may write anywhere else.
struct LockedFolder {
    std::string folder;
    explicit LockedFolder(std::string f) : folder(std::move(f)) { set(true); }
    ~LockedFolder() { set(false); }
    bool locked() const {
        const int fd = ::open((folder + "/probe").c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0) ::close(fd), ::unlink((folder + "/probe").c_str());
        return fd < 0;
    }
    void set(bool on) {
        ::chmod(folder.c_str(), on ? 0555 : 0755);
        const int fd = ::geteuid() == 0 ? ::open(folder.c_str(), O_RDONLY | O_DIRECTORY) : -1;
        if (int flags = 0; fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0) ::close(fd);
    }
};

TEST_F(CfgMenu, SaveIntoAFolderThatCannotBeWrittenKeepsTheOldFile) {
    fs::create_directory(path("locked"));
    const std::string old = "#old file\r\n001\tOLD\tv\r\n";
    rig.env.write("locked/keys.cfg", old);
    LockedFolder lock(path("locked"));
    if (!lock.locked()) GTEST_SKIP() << "this system lets the folder be written anyway";
    fill({"A\tx"});
    rig.form->CfgFileName = path("locked/keys.cfg");
    rig.dialogs.confirmAnswers = {true};
    save();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Error saving file ", 0), 0u);
    EXPECT_GT(messages[0].size(), std::string("Error saving file ").size()) << "with the description";
    EXPECT_EQ(rig.env.read("locked/keys.cfg"), old);
}

TEST_F(CfgMenu, SaveThatFailsPartWayKeepsTheOldFile) {
    const std::string old = "#old file\r\n001\tOLD\tv\r\n";
    rig.env.write("keys.cfg", old);
    const Entries entries(60, "K\tabcdefghij");
    fill(entries);
    rig.form->CfgFileName = path("keys.cfg");
    rig.files.failAfterBytes = 200;
    rig.dialogs.confirmAnswers = {true};
    save();
    EXPECT_EQ(messages, Entries{"Error saving file File too large"});
    EXPECT_EQ(rig.env.read("keys.cfg"), old);
    for (const auto& f : fs::directory_iterator(rig.env.programFolder()))
        EXPECT_EQ(f.path().filename().string().find(".tmp"), std::string::npos) << "left behind: " << f.path();
    saveAs(path("new.cfg"));
    EXPECT_FALSE(fs::exists(path("new.cfg")));

    rig.files.failAfterBytes.reset();
    rig.dialogs.messages.clear();
    save();
    open(path("new.cfg"));
    EXPECT_EQ(rig.list(), entries);
}

}  // namespace
}  // namespace k7::test
