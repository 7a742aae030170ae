#include <gtest/gtest.h>

#include "support/rig.h"

namespace k7::test {
namespace {

using Entries = std::vector<std::string>;
const std::string kNoKey = "Please enter a keyboard key";
const std::string kListed = "Cannot add .. this key is already in the list";

struct Panel {
    Rig rig;
    FakeTextBox& key = rig.textBox("KbdKey");
    FakeTextBox& string = rig.textBox("KeyString");
    FakeListBox& list = rig.listBox("List1");
    void add(int keyCode, const std::string& notation) {
        key.pressKey(keyCode);
        string.setText(notation);
        rig.button("AddToList").click();
    }
};

TEST(KeyField, ShowsTheLegendOfTheKeyAndNeverWhatIsTyped) {
    Panel p;
    const struct { int key, ch; const char* shown; } presses[] = {
        {'A', 'a', "A"}, {0x70, 0, "F1"}, {0x10, 0, ""},  // Shift alone
        {0xBA, ';', ";"}, {0x2D, 0, "KPins"}, {0x2D, 0, "INS"},
        {0, '\t', "TAB"},     // a TAB character with no key-down of its own
        {0x2C, 0, "PRTSCN"},  // Print Screen: nothing on the way down, the legend on release
    };
    for (const auto& k : presses) {
        p.key.pressKey(k.key, k.ch);
        EXPECT_EQ(p.key.text(), k.shown) << std::hex << k.key;
    }
    p.key.focus();
    EXPECT_EQ(p.key.text(), "");
}

TEST(KeyStringList, AddsEntriesAndRefusesAMissingOrListedKey) {
    Panel p;
    p.rig.button("AddToList").click();
    EXPECT_EQ(p.rig.dialogs.messages, Entries{kNoKey});
    p.rig.addEntry("a", "from a file");  // legends compare case-sensitively
    p.add(0x70, "abc");
    p.add('A', "Hello{0D}");
    p.add(0x20, "");
    const Entries added = {"a\tfrom a file", "F1\tabc", "A\tHello{0D}", "SPACE\t"};
    EXPECT_EQ(p.rig.list(), added);
    EXPECT_EQ(p.key.text(), "SPACE");  // both fields keep their text after an add
    p.string.setText("xyz");
    p.rig.button("AddToList").click();
    p.add(0x70, "other");
    EXPECT_EQ(p.rig.dialogs.messages, (Entries{kNoKey, kListed, kListed}));
    EXPECT_EQ(p.rig.list(), added);
}

TEST(KeyStringList, AnAddScrollsTheTenNewestEntriesToTheTop) {
    Panel p;
    // A box of five rows, so that its own scroll limit never hides the scroll asked for.
    Rect r = p.list.geometry();
    r.height = 5 * 195;
    p.list.setGeometry(r);
    for (int i = 0; i < 9; ++i) p.add('A' + i, "");
    p.list.setTopIndex(3);
    p.add('J', "");
    EXPECT_EQ(p.list.topIndex(), 3);  // ten entries: the view stays where it was
    p.add('K', "");
    EXPECT_EQ(p.list.topIndex(), 1);
    for (int i = 11; i < 25; ++i) p.add('A' + i, "");
    EXPECT_EQ(p.list.topIndex(), 15);
}

TEST(KeyStringList, DoubleClickRemovesTheSelectedEntryOnly) {
    Panel p;
    p.list.doubleClick();  // empty list
    for (char k : {'A', 'B', 'C'}) p.add(k, std::string(1, k));
    p.list.doubleClick();  // nothing selected
    EXPECT_EQ(p.list.count(), 3);
    p.list.select(1);
    p.list.doubleClick();
    p.add('B', "new");  // a removed key can be added again
    EXPECT_EQ(p.rig.list(), (Entries{"A\tA", "C\tC", "B\tnew"}));
    EXPECT_TRUE(p.rig.dialogs.messages.empty());
}

TEST(KeyStringList, ClearListEmptiesOnlyTheListAndClearAllKeepsTheResultDisplay) {
    Panel p;
    p.add('A', "1");
    p.rig.label("Label12").click();
    EXPECT_TRUE(p.rig.list().empty());
    EXPECT_EQ(p.key.text() + p.string.text(), "A1");

    p.add('A', "1");
    p.rig.form->Add2Status("a line");
    p.rig.label("MatchString").setCaption("Verified OK");
    p.rig.form->LoadMatchPicture("checkmark.gif");
    p.rig.menu("ClearAll").click();
    EXPECT_EQ(p.key.text() + p.string.text(), "");
    EXPECT_EQ(p.rig.label("StringCount").caption(), "0");
    EXPECT_TRUE(p.rig.list().empty() && p.rig.log().empty());
    EXPECT_EQ(p.rig.label("MatchString").caption(), "Verified OK");
    EXPECT_EQ(p.rig.picture().loadedPath(), p.rig.env.path("checkmark.gif"));
}

}  // namespace
}  // namespace k7::test
