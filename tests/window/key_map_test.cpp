// The key map window: picking keys, the marks it shows, what screen readers hear, its place.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include "keystrings/keyboard_layout.h"
#include "qt/qt_key_map.h"
#include "support/window_rig.h"

namespace k7::test {
namespace {

using namespace controls;

qt::KeyboardWidget* OpenKeyMap(Rig& rig) {
    rig.program.menu(kKeyMap);
    return rig.program.qtWindow.qwindow().findChild<qt::KeyboardWidget*>();
}

void ClickKey(qt::KeyboardWidget* map, const std::string& label, bool twice = false) {
    for (int i = 0; i < map->keyCount(); ++i) {
        if (map->key(i).label != label) continue;
        const QPoint centre = map->keyRect(i).center().toPoint();
        return twice ? QTest::mouseDClick(map, Qt::LeftButton, {}, centre) : QTest::mouseClick(map, Qt::LeftButton, {}, centre);
    }
    ADD_FAILURE() << "no key " << label;
}

// "name | description" of each configurable key the accessibility tree describes.
std::vector<std::string> DescribedKeys(qt::KeyboardWidget* map) {
    QAccessibleInterface* keyboard = QAccessible::queryAccessibleInterface(map);
    std::vector<std::string> keys;
    for (int i = 0; i < keyboard->childCount(); ++i) {
        QAccessibleInterface* key = keyboard->child(i);
        const QString description = key->text(QAccessible::Description);
        if (!description.isEmpty() && !key->state().disabled)
            keys.push_back((key->text(QAccessible::Name) + " | " + description).toStdString());
    }
    return keys;
}

TEST(KeyMap, PickingAKeyFillsTheKeyFieldAsPressingItDoesAndMovesOnToTheString) {
    // The key field, the string field and the picture after choosing KP5, then after typing and adding.
    const auto choose = [](bool onMap) {
        Rig rig;
        auto* key = rig.program.widget<QLineEdit>(kKeyField);
        auto* text = rig.program.widget<QLineEdit>(kStringField);
        auto& picture = dynamic_cast<Picture&>(rig.program.control(kVerdictPicture));
        auto* map = OpenKeyMap(rig);
        if (onMap) ClickKey(map, "KP5");
        else QTest::keyClick(key, Qt::Key_Clear, Qt::KeypadModifier);  // keypad 5 with Num Lock off
        EXPECT_EQ(text->window()->focusWidget() == text, onMap);
        const auto shown = [&] { return picture.loadedPath().substr(picture.loadedPath().find_last_of('/') + 1); };
        std::vector<std::string> seen{key->text().toStdString(), text->text().toStdString(), shown()};
        QTest::keyClicks(text, "x");
        rig.program.click(kAddToList);
        seen.push_back(shown());
        for (const std::string& row : rig.program.list()) seen.push_back(row);
        return seen;
    };
    EXPECT_EQ(choose(true), choose(false));
    EXPECT_EQ(choose(true), (std::vector<std::string>{"KP5", "", "", "question-mark.gif", "KP5\tx"}));

    Rig rig;  // while an operation runs the key field takes no key
    auto* map = OpenKeyMap(rig);
    ClickKey(map, "A");
    rig.pump.at(rig.clock.nowUs() + 30'000, [&] { ClickKey(map, "F1"); });
    rig.program.click(kVerify);
    EXPECT_EQ(rig.program.widget<QLineEdit>(kKeyField)->text(), "A");
}

TEST(KeyMap, MarksListedKeysAndWhatTheKeyboardAnsweredUntilTheListChanges) {
    Rig rig;
    auto& list = rig.window().keyStrings();
    list.add({"F1", "Hello{0D}"});
    list.add({"KP5", "x"});
    auto* map = OpenKeyMap(rig);
    EXPECT_EQ(DescribedKeys(map), (std::vector<std::string>{"F1: Hello{0D} | customised", "KP5: x | customised"}));
    ClickKey(map, "KP5", true);
    EXPECT_EQ(dynamic_cast<ListBox&>(rig.program.control(kList)).selectedIndex(), 1);

    auto image = Korven7Emulator::DefaultImage();
    image[0] = 'q';  // A
    rig.device.setFlash(image);
    rig.device.faults().silentRows = {1};  // B
    rig.program.click(kVerify);
    EXPECT_EQ(DescribedKeys(map), (std::vector<std::string>{
                                      "F1: Hello{0D} | customised, different: the keyboard holds {F1}",
                                      "A | different: the keyboard holds q",
                                      "KP5: x | customised, different: the keyboard holds {D5}",
                                      "B | unknown: the keyboard did not answer"}));
    list.remove(1);
    EXPECT_EQ(DescribedKeys(map), std::vector<std::string>{"F1: Hello{0D} | customised"});
    rig.program.click(kRead);
    EXPECT_EQ(DescribedKeys(map),
              (std::vector<std::string>{"A: q | customised", "B | unknown: the keyboard did not answer"}));
    list.clear();
    EXPECT_TRUE(DescribedKeys(map).empty());
}

TEST(KeyMap, EachKeyIsAnAccessibleButtonTheArrowsMoveAndEnterOrSpacePicks) {
    Rig rig;
    rig.window().keyStrings().add({"F1", "Hello{0D}"});
    auto* map = OpenKeyMap(rig);
    QAccessibleInterface* keyboard = QAccessible::queryAccessibleInterface(map);
    ASSERT_EQ(keyboard->childCount(), int(keyboardLayout().size()));
    std::vector<std::string> unavailable;
    for (int i = 0; i < keyboard->childCount(); ++i) {
        QAccessibleInterface* key = keyboard->child(i);
        EXPECT_EQ(key->parent(), keyboard);
        EXPECT_EQ(keyboard->indexOfChild(key), i);
        EXPECT_EQ(keyboard->childAt(key->rect().center().x(), key->rect().center().y()), key);
        EXPECT_EQ(key->role(), QAccessible::Button);
        if (key->state().disabled) unavailable.push_back(key->text(QAccessible::Name).toStdString());
    }
    EXPECT_EQ(keyboard->child(1)->text(QAccessible::Name), "F1: Hello{0D}");
    EXPECT_EQ(unavailable, (std::vector<std::string>{"Num Lock", "Caps Lock", "#", "Shift", "Shift", "Ctrl", "Win",
                                                     "Alt", "Alt", "Win", "Menu", "Ctrl"}));
    auto* key = rig.program.widget<QLineEdit>(kKeyField);
    for (Qt::Key k : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) QTest::keyClick(map, k);
    EXPECT_EQ(key->text(), "A");  // Escape, F1, 2, Q, A
    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Space}) QTest::keyClick(map, k);
    EXPECT_EQ(key->text(), "A");  // Caps Lock cannot be chosen
    keyboard->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(key->text(), "F1");
}

TEST(KeyMap, TheWindowOpensWhereItWasClosed) {
    Rig rig("[KEYMAP]\nLEFT=1500\nTOP=1200\nWIDTH=9000\nHEIGHT=3000\n");
    auto* window = OpenKeyMap(rig)->window();
    EXPECT_EQ(window->pos(), QPoint(100, 80));
    EXPECT_EQ(window->size(), QSize(600, 200));
    window->move(20, 30);
    window->resize(500, 180);
    window->close();
    EXPECT_EQ(rig.program.env.read("KORVEN7.ini"), "[KEYMAP]\nLEFT=300\nTOP=450\nWIDTH=7500\nHEIGHT=2700\n");
    Rig bad("[KEYMAP]\nLEFT=1500\nTOP=middle\nWIDTH=9000\nHEIGHT=3000\n");
    OpenKeyMap(bad);
    EXPECT_EQ(bad.program.dialogs.messages, std::vector<std::string>{"Error detected - [KEYMAP] TOP: Type mismatch"});
}

}  // namespace
}  // namespace k7::test
