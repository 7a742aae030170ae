#include <gtest/gtest.h>

#include "support/rig.h"

namespace k7::test {
namespace {

const std::string kBlankColumn = std::string(34, ' ') + "\t";

void Fill(Rig& rig, int entries, int statusLines) {
    for (int i = 0; i < entries; ++i) rig.addEntry("F" + std::to_string(i % 12 + 1), "s" + std::to_string(i));
    for (int i = 0; i < statusLines; ++i) rig.form->Add2Status("status " + std::to_string(i));
}

TEST(Printing, ListAndLogShareRowsSideBySide) {
    const struct { int entries, statusLines; std::size_t lines; } cases[] = {
        {3, 10, 10}, {12, 0, 12}, {0, 7, 7}, {0, 0, 0}, {305, 0, 301}, {0, 305, 301}, {305, 305, 301}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.entries) + " entries, " + std::to_string(c.statusLines) + " status lines");
        Rig rig;
        Fill(rig, c.entries, c.statusLines);
        rig.menu("prscr").click();
        ASSERT_EQ(rig.printer.lines.size(), c.lines);
        for (std::size_t i = 0; i < c.lines; ++i) {
            const std::string left = int(i) < c.entries ? rig.list()[i] + std::string(34 - rig.list()[i].size(), ' ') + "\t"
                                                        : kBlankColumn;
            EXPECT_EQ(rig.printer.lines[i], left + (int(i) < c.statusLines ? rig.log()[i] : "")) << "row " << i;
        }
        EXPECT_EQ(rig.printer.dialogs, 1);
        EXPECT_EQ(rig.printer.documents, 1);
        EXPECT_TRUE(rig.dialogs.messages.empty());
    }
}

TEST(Printing, EntriesAreTrimmedPaddedButNeverCut) {
    Rig rig;
    const std::string longEntry = "KPpgup\t" + std::string(40, 'z');
    for (const std::string& entry : {std::string("  A\tx  "), longEntry, std::string("   ")})
        rig.listBox("List1").addItem(entry);
    // Rows blank on both sides are skipped.
    for (const char* line : {" kept as is ", "", "", "    ", "last"}) rig.listBox("StatusBox").addItem(line);
    rig.menu("prscr").click();
    EXPECT_EQ(rig.printer.lines, (std::vector<std::string>{"A\tx" + std::string(31, ' ') + "\t kept as is ",
                                                           longEntry + "\t", kBlankColumn + "last"}));
}

TEST(Printing, ACancelledDialogOrAPrinterFailureShowsPrintingCancelled) {
    const struct { bool cancel; int failAfterLines; std::size_t lines; int documents; } cases[] = {
        {true, -1, 0, 0},
        {false, 4, 4, 1},  // the lines already printed still come out
    };
    for (const auto& c : cases) {
        Rig rig;
        Fill(rig, 3, 10);
        rig.printer.cancel = c.cancel;
        rig.printer.failAfterLines = c.failAfterLines;
        rig.menu("prscr").click();
        EXPECT_EQ(rig.printer.lines.size(), c.lines);
        EXPECT_EQ(rig.printer.documents, c.documents);
        EXPECT_EQ(rig.dialogs.messages, (std::vector<std::string>{"Printing cancelled"}));
    }
}

}  // namespace
}  // namespace k7::test
