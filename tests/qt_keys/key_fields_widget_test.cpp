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
    QTest::keyClick(key, Qt::Key_Insert);
    EXPECT_EQ(Text(key), "KPins");
    QTest::keyClick(key, Qt::Key_Insert);
    EXPECT_EQ(Text(key), "INS");
    QTest::keyClick(key, Qt::Key_Tab);
    EXPECT_EQ(Text(key), "TAB");
    EXPECT_TRUE(key->hasFocus());
    QTest::keyClick(key, Qt::Key_A);
    EXPECT_EQ(Text(key), "A");
    QTest::keyClick(key, Qt::Key_Clear, Qt::KeypadModifier);
    EXPECT_EQ(Text(key), "KP5");
    QTest::keyClick(key, Qt::Key_Exclam, Qt::ShiftModifier);
    EXPECT_EQ(Text(key), "1");
    QTest::keyClick(key, Qt::Key_Print);
    EXPECT_EQ(Text(key), "PRTSCN");

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
