#include <gtest/gtest.h>

#include "support/rig.h"

namespace k7::test {
namespace {

TEST(MainWindow, StartsIdleWithTheDesignedStatesAndTheDefaultSettings) {
    Rig rig;
    EXPECT_EQ(rig.ui.window().caption(), "KORVEN7 CONFIG v1.05");
    for (const char* name : {"AbortBrn", "Hclose", "ProgressLabel", "PercentLabel", "MatchString", "MatchImage", "WebBrowser1"})
        EXPECT_FALSE(rig.ui.control(name).visible()) << name;
    EXPECT_TRUE(rig.ui.fake<FakeCheckBox>("clrstat").checked());
    const std::pair<const char*, const char*> captions[] = {
        {"CfgLabel", "None"}, {"StringCount", "0"}, {"CommLabel", "COM1"}, {"BaudLabel", "9600"}, {"ParityLabel", "NONE"}};
    for (const auto& [name, caption] : captions) EXPECT_EQ(rig.label(name).caption(), caption);
    EXPECT_EQ(rig.port.settings, "9600,N,8,1");
    EXPECT_EQ(rig.port.portName, "/dev/ttyS0");
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.form->KeyTable[0].Legend, "A");
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(MainWindow, StatusLogKeepsTheNewestLineInViewOnceItOverflows) {
    Rig rig;
    auto& log = rig.listBox("StatusBox");
    const int rows = log.visibleRows();
    ASSERT_GT(rows, 5);
    // While every line fits, the view cannot scroll and stays at the top.
    for (int i = 1; i <= rows; ++i) rig.form->Add2Status("line " + std::to_string(i));
    EXPECT_EQ(log.topIndex(), 0);
    for (int i = rows + 1; i <= rows + 40; ++i) {
        rig.form->Add2Status("line " + std::to_string(i));
        EXPECT_EQ(log.topIndex() + rows, log.count()) << "the newest line is the bottom line of the view";
    }
    rig.form->Add2Status("tab\tand\r\nbreak");
    EXPECT_EQ(log.item(log.count() - 1), "tab\tand\r\nbreak") << "a line is taken unchanged";
}

TEST(MainWindow, ClearNowEmptiesOnlyTheLog) {
    Rig rig;
    rig.button("ClearDetails").click();  // on an empty log: nothing happens
    rig.form->Add2Status("one");
    rig.addEntry("A", "x");
    rig.button("ClearDetails").click();
    EXPECT_TRUE(rig.log().empty());
    EXPECT_EQ(rig.list().size(), 1u);
}

TEST(MainWindow, EnableButtonsTouchesExactlyTheSevenOperationControls) {
    Rig rig;
    const std::vector<std::string> seven = {"AddToList", "SendKeys", "VerifyBtn", "ReadKeys",
                                            "GetVersionBtn", "KeyString", "KbdKey"};
    rig.form->EnableButtons(false);
    for (const auto& name : seven) EXPECT_FALSE(rig.ui.control(name).enabled()) << name;
    for (const char* name : {"List1", "ClearDetails", "clrstat", "AbortBrn", "StatusBox"})
        EXPECT_TRUE(rig.ui.control(name).enabled()) << name;
    for (const char* name : {"FOpen", "FSave", "SaveAs", "Config", "ClearAll", "prscr", "OverView"})
        EXPECT_TRUE(rig.menu(name).enabled()) << name;
    rig.form->EnableButtons(true);
    for (const auto& name : seven) EXPECT_TRUE(rig.ui.control(name).enabled()) << name;
}

TEST(MainWindow, TheLogFollowsTheWindowWidthOnly) {
    Rig rig;
    auto& window = rig.ui.fakeWindow();
    auto& log = rig.listBox("StatusBox");
    window.resize(window.width, window.height);
    Rect expected = log.geometry();
    EXPECT_EQ(expected.width, window.width - 5400 - 300);
    window.resize(window.width + 1500, window.height + 900);
    expected.width += 1500;
    EXPECT_EQ(log.geometry(), expected);
    EXPECT_EQ(rig.ui.control("List1").geometry(), Form1Design().find("List1")->position);
    window.resize(3000, window.height);  // too narrow for any width: the last one stays
    EXPECT_EQ(log.geometry(), expected);
}

TEST(MainWindow, ProgressDisplayShowsWholePercentages) {
    Rig rig;
    rig.form->ShowProgress();
    EXPECT_TRUE(rig.label("PercentLabel").visible());
    EXPECT_EQ(rig.label("PercentLabel").caption(), "0%");
    rig.progress().setMaximum(95);
    rig.form->SetProgress(94);
    EXPECT_EQ(rig.label("PercentLabel").caption(), "98%");
    rig.form->SetProgress(95);
    EXPECT_EQ(rig.label("PercentLabel").caption(), "100%");
    rig.form->HideProgress();
    EXPECT_FALSE(rig.progress().visible() || rig.label("ProgressLabel").visible());
}

}  // namespace
}  // namespace k7::test
