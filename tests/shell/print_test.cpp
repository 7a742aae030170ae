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
    struct Case { int entries, statusLines; std::size_t lines; };
    const Case cases[] = {{3, 10, 10}, {12, 0, 12}, {0, 7, 7}, {305, 0, 301}, {0, 305, 301}, {305, 305, 301}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.entries) + " entries, " + std::to_string(c.statusLines) + " status lines");
        Rig rig;
        Fill(rig, c.entries, c.statusLines);
        rig.menu("prscr").click();
        ASSERT_EQ(rig.printer.lines.size(), c.lines);
        for (std::size_t i = 0; i < c.lines; ++i) {
            const std::string left = int(i) < c.entries ? rig.list()[i] + std::string(34 - rig.list()[i].size(), ' ') + "\t"
                                                        : kBlankColumn;
            const std::string right = int(i) < c.statusLines ? rig.log()[i] : "";
            EXPECT_EQ(rig.printer.lines[i], left + right) << "row " << i;
        }
        EXPECT_EQ(rig.printer.dialogs, 1);
        EXPECT_EQ(rig.printer.documents, 1);
        EXPECT_TRUE(rig.dialogs.messages.empty());
    }
}

TEST(Printing, EntriesAreTrimmedPaddedButNeverCut) {
    Rig rig;
    rig.listBox("List1").addItem("  A\tx  ");
    const std::string longEntry = "KPpgup\t" + std::string(40, 'z');
    rig.listBox("List1").addItem(longEntry);
    rig.listBox("List1").addItem("   ");            // blank entry, no status line: no row printed
    rig.listBox("StatusBox").addItem(" kept as is ");
    rig.listBox("StatusBox").addItem("");
    rig.listBox("StatusBox").addItem("");
    rig.listBox("StatusBox").addItem("    ");        // blank on both sides: skipped
    rig.listBox("StatusBox").addItem("last");
    rig.menu("prscr").click();
    EXPECT_EQ(rig.printer.lines, (std::vector<std::string>{
                                     "A\tx" + std::string(31, ' ') + "\t kept as is ",
                                     longEntry + "\t",
                                     kBlankColumn + "last",
                                 }));
}

TEST(Printing, NothingToPrintStillShowsThePrintDialog) {
    Rig rig;
    rig.menu("prscr").click();
    EXPECT_EQ(rig.printer.dialogs, 1);
    EXPECT_TRUE(rig.printer.lines.empty());
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(Printing, CancelledDialogPrintsNothing) {
    Rig rig;
    Fill(rig, 3, 10);
    rig.printer.cancel = true;
    rig.menu("prscr").click();
    EXPECT_TRUE(rig.printer.lines.empty());
    EXPECT_EQ(rig.printer.documents, 0);
    EXPECT_EQ(rig.dialogs.messages, (std::vector<std::string>{"Printing cancelled"}));
}

TEST(Printing, PrinterFailureMidwayKeepsWhatWasPrinted) {
    Rig rig;
    Fill(rig, 3, 10);
    rig.printer.failAfterLines = 4;
    rig.menu("prscr").click();
    EXPECT_EQ(rig.printer.lines.size(), 4u);
    EXPECT_EQ(rig.printer.documents, 1);  // the lines already printed still come out
    EXPECT_EQ(rig.dialogs.messages, (std::vector<std::string>{"Printing cancelled"}));
}

}  // namespace
}  // namespace k7::test
