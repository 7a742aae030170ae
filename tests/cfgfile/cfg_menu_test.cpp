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

    void open(const std::optional<std::string>& answer) {
        rig.dialogs.fileAnswers.push_back(answer);
        rig.menu("FOpen").click();
    }
    void saveAs(const std::optional<std::string>& answer) {
        rig.dialogs.fileAnswers.push_back(answer);
        rig.menu("SaveAs").click();
    }
    void save() { rig.menu("FSave").click(); }
    void fill(const Entries& entries) {
        for (const auto& e : entries) rig.listBox("List1").addItem(e);
    }
    std::string path(const std::string& name) const { return rig.env.path(name); }
    bool anyTempFileIn(const std::string& folder) const {
        for (const auto& f : fs::directory_iterator(folder))
            if (f.path().filename().string().find(".tmp") != std::string::npos) return true;
        return false;
    }
    const std::vector<std::string>& messages() { return rig.dialogs.messages; }
};

// Every byte 0x01-0xFF in ten-unit strings; TAB, LF and "{" as groups, the rest plain.
Entries EveryByteEntries() {
    Entries entries;
    std::string notation;
    int units = 0;
    for (int b = 1; b <= 0xFF; ++b) {
        if (b == '\t' || b == '\n' || b == '{') {
            char group[8];
            std::snprintf(group, sizeof group, "{%02X}", b);
            notation += group;
        } else {
            notation += char(b);
        }
        if (++units == 10 || b == 0xFF) {
            entries.push_back("K" + std::to_string(entries.size()) + "\t" + notation);
            notation.clear();
            units = 0;
        }
    }
    entries.push_back("\x80\xFF #legend\t\r");  // odd legend; a string that ends in CR
    return entries;
}

TEST_F(CfgMenu, EveryByteValueSurvivesSaveAndOpen) {
    const Entries entries = EveryByteEntries();
    fill(entries);
    saveAs(path("all.cfg"));
    EXPECT_EQ(messages(), Entries{"Save Successful"});
    const std::string file = rig.env.read("all.cfg");
    EXPECT_EQ(file.rfind("#Quimbrell KORVEN7 configuration file\r\n#File written 12/6/2026 7:30:00 AM\r\n\r\n001\t", 0), 0u);
    EXPECT_NE(file.find("\x80\x81\x82"), std::string::npos) << "bytes above 0x7F are written as they are";

    rig.listBox("List1").clear();
    open(path("all.cfg"));
    EXPECT_EQ(rig.list(), entries);
    EXPECT_EQ(messages(), Entries{"Save Successful"});
}

TEST_F(CfgMenu, HandWrittenFileReadsEntryLinesOnly) {
    rig.env.write("hand.cfg",
                  "# my keys\n"
                  "\n"
                  "   \n"
                  "  001\tA\tHello{0D}\n"
                  "#002\tB\tcommented out\n"
                  "-3\tF1\tnegative\n"
                  "004\tF2\tfour\tfields\n"
                  "005\tF3\n"
                  "abc\tF4\tletters\n"
                  "101\tF5\ttoo big\n"
                  "006\ta\ttrailing blanks  \r\n"
                  "100\tF7\t last line");
    fill({"old\tentry"});
    open(path("hand.cfg"));
    EXPECT_EQ(rig.list(), (Entries{"A\tHello{0D}", "F1\tnegative", "F2\tfour", "a\ttrailing blanks", "F7\t last line"}));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(rig.form->CfgFileName, path("hand.cfg"));
    EXPECT_EQ(rig.label("CfgLabel").caption(), "hand.cfg");
    const auto& asked = rig.dialogs.asked.at(0);
    EXPECT_EQ(asked.kind, "open");
    EXPECT_EQ(asked.folder, rig.env.documentsFolder());
    EXPECT_EQ(asked.filter, "KORV (*.cfg)|*.cfg|All Files (*.*)|*.*");
}

TEST_F(CfgMenu, HeaderOnlyFileEmptiesTheList) {
    rig.env.write("empty.cfg", "#Quimbrell KORVEN7 configuration file\r\n#File written x\r\n\r\n");
    fill({"A\tx"});
    open(path("empty.cfg"));
    EXPECT_TRUE(rig.list().empty());
    EXPECT_EQ(rig.label("CfgLabel").caption(), "empty.cfg");
}

TEST_F(CfgMenu, OnlyTheFirstHundredEntriesComeBack) {
    Entries entries;
    for (int i = 1; i <= 101; ++i) entries.push_back("K" + std::to_string(i) + "\tv");
    fill(entries);
    saveAs(path("many.cfg"));
    open(path("many.cfg"));
    entries.pop_back();
    EXPECT_EQ(rig.list(), entries);
}

TEST_F(CfgMenu, WindowEventsAreServedWhileAFileLoads) {
    Entries entries(50, "A\tx");
    fill(entries);
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
    EXPECT_EQ(rig.form->CfgFileName, path("keys.cfg"));
    EXPECT_EQ(rig.label("CfgLabel").caption(), "keys.cfg");
    EXPECT_TRUE(messages().empty());
}

TEST_F(CfgMenu, FileThatCannotBeOpenedIsReported) {
    fs::create_directory(path("folder.cfg"));
    const struct { std::string name, description; } cases[] = {
        {"missing.cfg", "No such file or directory"},
        {"folder.cfg", "Is a directory"},
    };
    for (const auto& c : cases) {
        rig.dialogs.messages.clear();
        fill({"A\tx"});
        open(path(c.name));
        EXPECT_EQ(messages(), Entries{"Error opening specified config file. " + c.description});
        EXPECT_TRUE(rig.list().empty()) << c.name;
        EXPECT_EQ(rig.form->CfgFileName, path(c.name));
        EXPECT_EQ(rig.label("CfgLabel").caption(), c.name);
    }
}

TEST_F(CfgMenu, LabelShowsTheNameAfterEitherSeparator) {
    fs::create_directory(path("sub"));
    rig.env.write("sub/a\\b.cfg", "");
    open(path("sub/a\\b.cfg"));
    EXPECT_EQ(rig.label("CfgLabel").caption(), "b.cfg");
}

TEST_F(CfgMenu, OverflowingLineIsReportedAndReadingGoesOn) {
    rig.env.write("over.cfg", "001\tA\tx\r\n-40000\tB\ty\r\n003\tC\tz\r\n");
    open(path("over.cfg"));
    EXPECT_EQ(messages(), Entries{"Error extracting info from config file. Overflow"});
    EXPECT_EQ(rig.list(), (Entries{"A\tx", "C\tz"}));
}

TEST_F(CfgMenu, SaveWithoutANameWritesNothing) {
    fill({"A\tx"});
    save();
    EXPECT_EQ(messages(), Entries{"No filename entered"});
    EXPECT_TRUE(rig.dialogs.asked.empty());

    saveAs(std::string());
    EXPECT_EQ(messages(), (Entries{"No filename entered", "No filename entered"}));
    EXPECT_EQ(rig.form->CfgFileName, "");
}

TEST_F(CfgMenu, CancelledSaveAsChangesNothing) {
    fill({"A\tx"});
    saveAs(std::nullopt);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(rig.form->CfgFileName, "");
    const auto& asked = rig.dialogs.asked.at(0);
    EXPECT_EQ(asked.kind, "save");
    EXPECT_EQ(asked.folder, rig.env.documentsFolder());
    EXPECT_EQ(asked.filter, "KORV (*.cfg)|*.cfg");
}

TEST_F(CfgMenu, SaveAsWritesExactlyTheTypedName) {
    fill({"A\tx"});
    saveAs(path("mykeys"));
    EXPECT_EQ(messages(), Entries{"Save Successful"});
    EXPECT_TRUE(fs::is_regular_file(path("mykeys")));
    EXPECT_FALSE(fs::exists(path("mykeys.cfg")));
    EXPECT_EQ(rig.form->CfgFileName, path("mykeys"));
    EXPECT_EQ(rig.label("CfgLabel").caption(), "None");
    EXPECT_TRUE(rig.dialogs.asked.size() == 1) << "no question for a new file";
}

TEST_F(CfgMenu, OverwriteQuestionGuardsAnExistingFile) {
    const std::string old = "#old\r\n001\tOLD\tv\r\n002\tOLD2\tw\r\n";
    rig.env.write("keys.cfg", old);
    fill({"A\tx"});

    rig.dialogs.confirmAnswers = {false};
    saveAs(path("keys.cfg"));
    EXPECT_EQ(rig.env.read("keys.cfg"), old);
    EXPECT_EQ(rig.form->CfgFileName, path("keys.cfg")) << "the name is taken even after No";
    EXPECT_TRUE(messages().empty());

    rig.dialogs.confirmAnswers = {false};
    save();
    EXPECT_EQ(rig.env.read("keys.cfg"), old);

    rig.dialogs.confirmAnswers = {true};
    save();
    EXPECT_EQ(messages(), Entries{"Save Successful"});
    EXPECT_EQ(rig.env.read("keys.cfg").find("OLD"), std::string::npos) << "the whole file is replaced";
    open(path("keys.cfg"));
    EXPECT_EQ(rig.list(), Entries{"A\tx"});

    ASSERT_EQ(rig.dialogs.asked.size(), 5u);  // save dialog, three questions, open dialog
    for (int i : {1, 2, 3}) {
        EXPECT_EQ(rig.dialogs.asked[i].kind, "confirm");
        EXPECT_EQ(rig.dialogs.asked[i].text, "File exists -- want to overwrite? Y/N");
        EXPECT_EQ(rig.dialogs.asked[i].title, "Confirm");
    }
}

TEST_F(CfgMenu, SaveWhereNoFileCanBeMadeIsReported) {
    rig.env.write("plain", "x");
    const struct { std::string name, description; } cases[] = {
        {"nofolder/keys.cfg", "No such file or directory"},
        {"plain/keys.cfg", "Not a directory"},
    };
    fill({"A\tx"});
    for (const auto& c : cases) {
        rig.dialogs.messages.clear();
        saveAs(path(c.name));
        EXPECT_EQ(messages(), Entries{"Error saving file " + c.description});
        EXPECT_FALSE(fs::exists(path(c.name)));
    }
}

TEST_F(CfgMenu, SaveThroughALinkReplacesTheLinkedFile) {
    fs::create_directory(path("real"));
    rig.env.write("real/keys.cfg", "#old\r\n");
    fs::create_symlink(path("real/keys.cfg"), path("link.cfg"));
    fill({"A\tx"});
    rig.dialogs.confirmAnswers = {true};
    saveAs(path("link.cfg"));
    EXPECT_EQ(messages(), Entries{"Save Successful"});
    EXPECT_TRUE(fs::is_symlink(path("link.cfg")));
    EXPECT_NE(rig.env.read("real/keys.cfg").find("001\tA\tx\r\n"), std::string::npos);
}

// Makes a folder refuse new entries: read-only for an ordinary user, immutable for root,
// who may write anywhere else.
class LockedFolder {
public:
    explicit LockedFolder(std::string folder) : folder_(std::move(folder)) { set(true); }
    ~LockedFolder() { set(false); }
    bool locked() const {
        const std::string probe = folder_ + "/probe";
        const int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0) return true;
        ::close(fd);
        ::unlink(probe.c_str());
        return false;
    }
private:
    void set(bool on) {
        ::chmod(folder_.c_str(), on ? 0555 : 0755);
        if (::geteuid() != 0) return;
        const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0) ::close(fd);
    }
    std::string folder_;
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
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].rfind("Error saving file ", 0), 0u);
    EXPECT_GT(messages()[0].size(), std::string("Error saving file ").size()) << "with the description";
    EXPECT_EQ(rig.env.read("locked/keys.cfg"), old);
}

TEST_F(CfgMenu, SaveThatFailsPartWayKeepsTheOldFile) {
    const std::string old = "#old file\r\n001\tOLD\tv\r\n";
    rig.env.write("keys.cfg", old);
    Entries entries;
    for (int i = 0; i < 60; ++i) entries.push_back("K" + std::to_string(i) + "\tabcdefghij");
    fill(entries);
    rig.form->CfgFileName = path("keys.cfg");

    rig.files.failAfterBytes = 200;
    rig.dialogs.confirmAnswers = {true};
    save();
    EXPECT_EQ(messages(), Entries{"Error saving file File too large"});
    EXPECT_EQ(rig.env.read("keys.cfg"), old);
    EXPECT_FALSE(anyTempFileIn(rig.env.programFolder()));

    saveAs(path("new.cfg"));
    EXPECT_FALSE(fs::exists(path("new.cfg")));

    rig.files.failAfterBytes.reset();
    rig.dialogs.messages.clear();
    save();
    EXPECT_EQ(messages(), Entries{"Save Successful"});
    open(path("new.cfg"));
    EXPECT_EQ(rig.list(), entries);
}

}  // namespace
}  // namespace k7::test
