// Key-string configuration files: what is written and what is read back.
#include <gtest/gtest.h>

#include <cstdlib>

#include <filesystem>
#include <sstream>

#include "cfgfile/cfg_file.h"
#include "cfgfile/keyboard_history.h"
#include "platform/disk_file_store.h"

namespace k7 {
namespace {

using Entries = std::vector<KeyString>;

CfgContent Read(const std::string& text) {
    std::istringstream in(text);
    return readCfgFile(in);
}

TEST(CfgFile, HeaderThenNumberedEntriesWithCrLf) {
    EXPECT_EQ(cfgFileText({{"A", "Hello{0D}"}, {"", "no legend"}, {"F1", ""}, {"KPhome", "x y"}}, "12/6/2026 7:30:00 AM"),
              "#Quimbrell KORVEN7 configuration file\r\n"
              "#File written 12/6/2026 7:30:00 AM\r\n"
              "\r\n"
              "001\tA\tHello{0D}\r\n"
              "003\tF1\t\r\n"
              "004\tKPhome\tx y\r\n");
    // A TAB, a line feed or blanks at the end would not survive the line: they go as groups.
    const std::string groups = cfgFileText({{"A", " x\ty\n  "}}, "now");
    EXPECT_EQ(groups.substr(groups.find("001")), "001\tA\t x{09}y{0A}{20}{20}\r\n");
    const std::string text = cfgFileText(Entries(1000, {"A", "b"}), "now");
    EXPECT_NE(text.find("\r\n009\tA\tb\r\n010\tA\tb\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n999\tA\tb\r\n1000\tA\tb\r\n"), std::string::npos);
}

// A key listed twice keeps its later entry, as the device was always sent; an empty legend
// is the non-US # key, as files written before it had a name expect.
TEST(CfgFile, ReadsOneEntryPerKeyAndNamesEveryLineThatGivesNone) {
    const CfgContent content = Read(
        "# my keys\n\n   \n  001\tA\tHello{0D}\n-32768\tF1\tnegative\n004\tF2\tfour\tfields\n005\tF3\n"
        "abc\tF4\tletters\n101\tF5\ttoo big\n40000\tF5\tbig\n1e2\tF6\t{7B}\r\n-99999\tF8\toverflow\n"
        "006\t a \t b  \r\n-32769\tF9\n100\tF7\t last line\n7\tA\tagain\n8\t\tpound\n9\tF2\tthird\n10\tF2\tlast");
    EXPECT_EQ(content.entries, (Entries{{"F1", "negative"}, {"F6", "{7B}"}, {"F7", " last line"}, {"A", "again"},
                                        {"NONUS#", "pound"}, {"F2", "last"}}));
    EXPECT_EQ(content.notLoaded,
              (std::vector<std::string>{"line 4: key \"A\" is listed again on line 16",
                                        "line 6: key \"F2\" is listed again on line 18",
                                        "line 7: a line holds number, key and string separated by TAB",
                                        "line 8: \"abc\" is not a sequence number", "line 9: sequence number 101 is above 100",
                                        "line 10: sequence number 40000 is above 100",
                                        "line 12: sequence number -99999 is below -32768", "line 13: \" a \" names no key",
                                        "line 14: sequence number -32769 is below -32768",
                                        "line 18: key \"F2\" is listed again on line 19"}));
    EXPECT_FALSE(content.readError);
    EXPECT_EQ(content.entryLines, (std::vector<int>{5, 11, 15, 16, 17, 19}));
    EXPECT_EQ(content.notLoadedLines, (std::vector<int>{4, 6, 7, 8, 9, 10, 12, 13, 14, 18}));
    const std::string report = notLoadedReport(content);  // counts them all, names the first five
    EXPECT_EQ(report.substr(report.find("\nline 9")), "\nline 9: sequence number 101 is above 100\n... and 5 more");
    EXPECT_EQ(notLoadedReport(Read("1\tA\tx")), "");
}

// A file whose bytes end in a read error, like one on a failing disk.
struct FailingFile : std::stringbuf {
    using std::stringbuf::stringbuf;
    int_type underflow() override { throw std::ios_base::failure("disk gone"); }
};

TEST(CfgFile, AStreamThatFailsGivesAReadErrorAndKeepsTheEntriesBeforeIt) {
    FailingFile file("001\tA\tx\r\n002\tB\ty");
    std::istream in(&file);
    const CfgContent content = readCfgFile(in);
    EXPECT_EQ(content.entries, (Entries{{"A", "x"}}));
    EXPECT_TRUE(content.readError);
}

TEST(CfgFile, EveryByteBesideTabLineFeedAndTheOpeningBraceSurvivesWritingAndReading) {
    Entries entries;
    std::string notation;
    for (int b = 1; b <= 0xFF; ++b) {
        if (b != '\t' && b != '\n' && b != '{') notation += char(b);
        if (b % 10 == 0 || b == 0xFF) {
            entries.push_back({defaultKeyTable()[entries.size()].legend, notation});
            notation.clear();
        }
    }
    entries.insert(entries.end(), {{"F1", "end in CR\r"}, {"F2", ""}});
    const CfgContent content = Read(cfgFileText(entries, "now"));
    EXPECT_EQ(content.entries, entries);
    EXPECT_TRUE(content.notLoaded.empty());
}

TEST(KeyboardHistory, KeepsTheNewestFilesInTimeOrderLeavesOtherFilesAloneAndReportsAFailureOnce) {
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / "k7hist-XXXXXX").string();
    folder = ::mkdtemp(folder.data());
    DiskFileStore files;
    KeyboardHistory history(files, folder + "/history", 3);
    const std::time_t t = 1'800'000'000;
    EXPECT_EQ(history.entries().size(), 0u);  // no folder yet
    history.write(HistoryEvent::Read, "/dev/ttyUSB0", {{"A", "x"}}, t, "now");
    files.replaceWith(folder + "/history/mine.cfg", "001\tA\tkeep\r\n");
    history.write(HistoryEvent::Sent, "/dev/pts/3", {}, t + 1, "now");
    history.write(HistoryEvent::Backup, "/tmp/link to/sim", {{"A", "y"}, {"B", "z"}}, t + 1, "now");  // the same second
    const std::string fourth = history.write(HistoryEvent::Sent, "COM3", {}, t + 1, "now");
    EXPECT_TRUE(fourth.ends_with("-3_sent_COM3.cfg")) << fourth;
    std::vector<std::string> shown;
    for (const HistoryEntry& e : history.entries())
        shown.push_back(historyEventText(e.event, e.port) + " " + std::to_string(e.customStrings));
    EXPECT_EQ(shown, (std::vector<std::string>{"sent to COM3 0", "backed up from sim 2", "sent to pts-3 0"}));
    EXPECT_TRUE(files.exists(folder + "/history/mine.cfg"));
    KeyboardHistory blocked(files, folder + "/history/mine.cfg/history");  // a file where its folder should be
    const std::string failure = blocked.record(HistoryEvent::Read, "COM3", {}, t + 2, "now");
    EXPECT_EQ(failure.rfind("The keyboard's history cannot be written to " + folder + "/history/mine.cfg/history (", 0), 0u)
        << failure;
    EXPECT_EQ(blocked.record(HistoryEvent::Read, "COM3", {}, t + 3, "now"), "");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace k7
