// The key field and the string field on the real widgets, driven by QTest key clicks.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QtTest/QTest>

#include "qtsupport/qt_app.h"

namespace k7::test {
namespace {

std::string Text(QWidget* w) { return static_cast<QLineEdit*>(w)->text().toStdString(); }

TEST(KeyFieldWidgets, CaptureKeysAndUpperCaseInsideBraces) {
    QtRig rig;
    QWidget* key = rig.widget("KbdKey");
    QWidget* string = rig.widget("KeyString");

    key->setFocus();
    const struct { Qt::Key key; Qt::KeyboardModifiers mods; const char* shown; } presses[] = {
        {Qt::Key_Insert, Qt::NoModifier, "KPins"}, {Qt::Key_Insert, Qt::NoModifier, "INS"},
        {Qt::Key_Tab, Qt::NoModifier, "TAB"},      {Qt::Key_A, Qt::NoModifier, "A"},
        {Qt::Key_Clear, Qt::KeypadModifier, "KP5"}, {Qt::Key_Exclam, Qt::ShiftModifier, "1"},
        {Qt::Key_Print, Qt::NoModifier, "PRTSCN"},
    };
    for (const auto& p : presses) {
        QTest::keyClick(key, p.key, p.mods);
        EXPECT_EQ(Text(key), p.shown);
        EXPECT_TRUE(key->hasFocus()) << p.shown;
    }

    string->setFocus();
    QTest::keyClicks(string, "{c");
    EXPECT_EQ(Text(string), "{C");
    QTest::keyClicks(string, "7}c");
    EXPECT_EQ(Text(string), "{C7}c");
    EXPECT_EQ(static_cast<QLabel*>(rig.widget("StringCount"))->text().toStdString(), "2");
    EXPECT_EQ(rig.form->MatchImage.loadedPath(), rig.env.path("question-mark.gif"));
    EXPECT_FALSE(static_cast<QLabel*>(rig.widget("MatchImage"))->pixmap().isNull());
    EXPECT_TRUE(rig.dialogs.messages.empty());
    QTest::keyClicks(string, "{}");  // corrected from inside the field's change signal
    EXPECT_EQ(Text(string), "{C7}c{");
    EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{"brackets must contain HEX value of a character"});
}

}  // namespace
}  // namespace k7::test
