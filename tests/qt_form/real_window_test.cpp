#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include "qtsupport/qt_app.h"
#include "shell/form1_design.h"

namespace k7::test {
namespace {

TEST(RealWindow, StartsWithTheDesignedWindowAndEveryControlNamed) {
    QtRig rig;
    EXPECT_EQ(rig.real->mainWindow().qwindow().windowTitle().toStdString(), "KORVEN7 CONFIG v1.05");
    EXPECT_EQ(static_cast<QLabel*>(rig.widget("CommLabel"))->text().toStdString(), "COM1");
    EXPECT_TRUE(static_cast<QCheckBox*>(rig.widget("clrstat"))->isChecked());
    EXPECT_FALSE(rig.widget("AbortBrn")->isVisible());
    EXPECT_EQ(rig.widget("SendKeys")->toolTip().toStdString(), "Send all output strings to KORVEN7");
    EXPECT_EQ(rig.widget("SendKeys")->accessibleName().toStdString(), "Send Strings To KORVEN7");
    for (const auto& c : Form1Design().controls)
        EXPECT_FALSE(rig.widget(c.name)->accessibleName().isEmpty()) << c.name << " has no accessible name";
    EXPECT_EQ(rig.widget("KbdKey")->accessibleName().toStdString(), "Keyboard Key");

    QStringList menus;
    for (QAction* a : rig.real->mainWindow().qwindow().menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus.join(",").toStdString(), "File,Configuration,Clear All,Print Screen,Help");
}

TEST(RealWindow, LogFollowsTheWindowKeepsTheNewestLineInViewAndClearNowEmptiesIt) {
    QtRig rig;
    auto& window = rig.real->mainWindow().qwindow();
    window.resize(window.width() + 100, window.height());
    QtRig::Pump(20);
    const int expected = qt::Px(rig.real->mainWindow().outerWidth() - 5400 - 300);
    EXPECT_NEAR(rig.widget("StatusBox")->width(), expected, 1);

    auto* log = static_cast<QPlainTextEdit*>(rig.widget("StatusBox"));
    for (int i = 0; i < 200; ++i) rig.form->Add2Status("line " + std::to_string(i));
    QtRig::Pump(20);
    const QTextBlock last = log->document()->findBlockByNumber(199);
    EXPECT_EQ(last.text().toStdString(), "line 199");
    const QRectF lastRect = log->cursorRect(QTextCursor(last));
    EXPECT_TRUE(log->viewport()->rect().contains(lastRect.toRect())) << "the newest line is in view";
    EXPECT_GT(log->verticalScrollBar()->value(), 0);
    EXPECT_EQ(log->document()->blockCount(), 200);

    static_cast<QPushButton*>(rig.widget("ClearDetails"))->click();
    EXPECT_TRUE(log->toPlainText().isEmpty());
    EXPECT_EQ(rig.form->StatusBox.count(), 0);
}


}  // namespace
}  // namespace k7::test
