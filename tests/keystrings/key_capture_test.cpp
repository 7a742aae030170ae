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
    p.key.pressKey('A', 'a');
    EXPECT_EQ(p.key.text(), "A");
    p.key.pressKey(0x70);
    EXPECT_EQ(p.key.text(), "F1");
    p.key.pressKey(0x10);  // Shift alone
    EXPECT_EQ(p.key.text(), "");
    p.key.pressKey(0xBA, ';');
    EXPECT_EQ(p.key.text(), ";");
    p.key.pressKey(0x2D);
    EXPECT_EQ(p.key.text(), "KPins");
    p.key.pressKey(0x2D);
    EXPECT_EQ(p.key.text(), "INS");
    p.key.pressKey(0, '\t');  // a TAB character with no key-down of its own
    EXPECT_EQ(p.key.text(), "TAB");
    p.key.pressKey(0x2C);  // Print Screen: nothing on the way down, the legend on release
    EXPECT_EQ(p.key.text(), "PRTSCN");
    p.key.focus();
    EXPECT_EQ(p.key.text(), "");
}

TEST(KeyStringList, AddsEntriesAndRefusesAMissingOrListedKey) {
    Panel p;
    p.rig.button("AddToList").click();
    EXPECT_EQ(p.rig.dialogs.messages, Entries{kNoKey});
    EXPECT_TRUE(p.rig.list().empty());

    p.rig.addEntry("a", "from a file");  // legends compare case-sensitively
    p.add(0x70, "abc");
    p.add('A', "Hello{0D}");
    p.add(0x20, "");
    EXPECT_EQ(p.rig.list(), (Entries{"a\tfrom a file", "F1\tabc", "A\tHello{0D}", "SPACE\t"}));
    EXPECT_EQ(p.key.text(), "SPACE");  // both fields keep their text after an add
    p.string.setText("xyz");
    p.rig.button("AddToList").click();
    p.add(0x70, "other");
    EXPECT_EQ(p.rig.dialogs.messages, (Entries{kNoKey, kListed, kListed}));
    EXPECT_EQ(p.rig.list(), (Entries{"a\tfrom a file", "F1\tabc", "A\tHello{0D}", "SPACE\t"}));
}

TEST(KeyStringList, AnAddScrollsTheTenNewestEntriesToTheTop) {
    Panel p;
    // A box of five rows, so that its own scroll limit never hides the scroll asked for.
    Rect r = p.list.geometry();
    r.height = 5 * 195;
    p.list.setGeometry(r);
    const int keys[] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M',
                        'N', 'O', 'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y'};
    for (int i = 0; i < 9; ++i) p.add(keys[i], "");
    p.list.setTopIndex(3);
    p.add(keys[9], "");
    EXPECT_EQ(p.list.topIndex(), 3);  // ten entries: the view stays where it was
    p.add(keys[10], "");
    EXPECT_EQ(p.list.topIndex(), 1);
    for (int i = 11; i < 25; ++i) p.add(keys[i], "");
    EXPECT_EQ(p.list.count(), 25);
    EXPECT_EQ(p.list.topIndex(), 15);
}

TEST(KeyStringList, DoubleClickRemovesTheSelectedEntryOnly) {
    Panel p;
    p.list.doubleClick();  // empty list
    p.add('A', "1");
    p.add('B', "2");
    p.add('C', "3");
    p.list.doubleClick();  // nothing selected
    EXPECT_EQ(p.list.count(), 3);
    p.list.select(1);
    p.list.doubleClick();
    EXPECT_EQ(p.rig.list(), (Entries{"A\t1", "C\t3"}));
    p.add('B', "new");  // a removed key can be added again
    EXPECT_EQ(p.rig.list(), (Entries{"A\t1", "C\t3", "B\tnew"}));
    EXPECT_TRUE(p.rig.dialogs.messages.empty());
}

TEST(KeyStringList, ClearListEmptiesOnlyTheList) {
    Panel p;
    p.add('A', "1");
    p.rig.label("Label12").click();
    EXPECT_TRUE(p.rig.list().empty());
    EXPECT_EQ(p.key.text(), "A");
    EXPECT_EQ(p.string.text(), "1");
}

TEST(KeyStringList, ClearAllKeepsTheResultDisplay) {
    Panel p;
    p.add('A', "1");
    p.rig.form->Add2Status("a line");
    p.rig.label("MatchString").setCaption("Verified OK");
    p.rig.form->LoadMatchPicture("checkmark.gif");
    p.rig.menu("ClearAll").click();
    EXPECT_EQ(p.key.text(), "");
    EXPECT_EQ(p.string.text(), "");
    EXPECT_EQ(p.rig.label("StringCount").caption(), "0");
    EXPECT_TRUE(p.rig.list().empty());
    EXPECT_TRUE(p.rig.log().empty());
    EXPECT_EQ(p.rig.label("MatchString").caption(), "Verified OK");
    EXPECT_EQ(p.rig.picture().loadedPath(), p.rig.env.path("checkmark.gif"));
}

}  // namespace
}  // namespace k7::test
