// The key field and the string field on the real widgets, driven by QTest key clicks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QtTest/QTest>

#include "platform/qt/qt_platform.h"
#include "shell/form1.h"
#include "shell/form1_design.h"
#include "support/fake_platform.h"

namespace k7 {
namespace {

TEST(KeyFieldWidgets, CaptureKeysAndUpperCaseInsideBraces) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "tests_qt_keys";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    test::ScriptedDialogs dialogs;
    test::TempEnvironment env;
    qt::QtPlatform real(Form1Design(), &dialogs, nullptr, &env);
    Form1 form(real.platform());
    form.Form_Load();
    QWidget& window = real.mainWindow().qwindow();
    window.show();
    auto* key = window.findChild<QLineEdit*>("KbdKey");
    auto* string = window.findChild<QLineEdit*>("KeyString");
    auto* count = window.findChild<QLabel*>("StringCount");
    ASSERT_TRUE(key && string && count);

    key->setFocus();
    QTest::keyClick(key, Qt::Key_Insert);
    EXPECT_EQ(key->text(), "KPins");
    QTest::keyClick(key, Qt::Key_Insert);
    EXPECT_EQ(key->text(), "INS");
    QTest::keyClick(key, Qt::Key_Tab);
    EXPECT_EQ(key->text(), "TAB");
    EXPECT_TRUE(key->hasFocus());
    QTest::keyClick(key, Qt::Key_A);
    EXPECT_EQ(key->text(), "A");
    QTest::keyClick(key, Qt::Key_Clear, Qt::KeypadModifier);
    EXPECT_EQ(key->text(), "KP5");
    QTest::keyClick(key, Qt::Key_Exclam, Qt::ShiftModifier);
    EXPECT_EQ(key->text(), "1");
    QTest::keyClick(key, Qt::Key_Print);
    EXPECT_EQ(key->text(), "PRTSCN");

    string->setFocus();
    QTest::keyClicks(string, "{c");
    EXPECT_EQ(string->text(), "{C");
    QTest::keyClicks(string, "7}c");
    EXPECT_EQ(string->text(), "{C7}c");
    EXPECT_EQ(count->text(), "2");
    EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace k7
