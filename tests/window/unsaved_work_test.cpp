// Work the user could lose: the question before a changed list is set aside, undo and
// redo, recent files, files named on the command line or dropped, and the MIME type.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QMimeData>
#include <QMimeDatabase>
#include <QTest>
#include <QWindow>
#include <filesystem>

#include "support/window_rig.h"

namespace k7::test {
namespace {

// An entry added as the user adds one.
void add(Rig& rig, Qt::Key key) {
    QTest::keyClick(rig.program.widget<QLineEdit>(controls::kKeyField), key);
    rig.program.widget<QLineEdit>(controls::kStringField)->setText("x");
    rig.program.click(controls::kAddToList);
}
// Keys pressed in the list; what it shows then.
std::vector<std::string> press(Rig& rig, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QTest::keyClick(rig.program.widget<QListWidget>(controls::kList), key, modifiers);
    return rig.program.list();
}

using Rows = std::vector<std::string>;
constexpr const char* kHeader = "#Quimbrell KORVEN7 configuration file\r\n";

TEST(UnsavedWork, CloseOpenAndReadAskOnlyAfterAChangeAndASaveThatDoesNotHappenCancels) {
    Rig rig;
    QMainWindow& window = rig.program.qtWindow.qwindow();
    auto& dialogs = rig.program.dialogs;
    window.show();
    EXPECT_TRUE(window.close());  // nothing changed: no question
    window.show();
    add(rig, Qt::Key_F1);
    EXPECT_EQ(window.windowHandle()->title(), "KORVEN7 CONFIG v1.05*");
    rig.program.env.write("tills.cfg", "001\tA\ta\r\n");
    dialogs.saveAnswers = {SaveChoice::Cancel, SaveChoice::Save, SaveChoice::Cancel, SaveChoice::Discard};
    dialogs.fileAnswers = {std::nullopt, rig.program.env.path("tills.cfg")};  // Save went through Save As
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(window.close());
    rig.program.click(controls::kRead);
    EXPECT_TRUE(rig.program.log().empty());  // asked before the read, which did not start
    rig.program.menu(controls::kOpen);
    EXPECT_EQ(rig.program.list(), Rows{"A\ta"});
    rig.program.click(controls::kRead);  // nothing changed since the open: no question
    add(rig, Qt::Key_F2);
    dialogs.saveAnswers = {SaveChoice::Save};
    dialogs.confirmAnswers = {true};  // the list has its file now: Save replaces it
    EXPECT_TRUE(window.close());
    EXPECT_NE(rig.program.env.read("tills.cfg").find("\r\n001\tF2\tx\r\n"), std::string::npos);
    EXPECT_EQ(dialogs.saveQuestions[2], "The list of key strings has changes that are not saved.\n\n"
                                        "Save them before reading the KORVEN7's strings?");
}

TEST(UnsavedWork, UndoAndRedoTakeBackAndMakeAgainAnAddARemovalAClearAndARead) {
    Rig rig;
    QMainWindow& window = rig.program.qtWindow.qwindow();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    add(rig, Qt::Key_F1);
    add(rig, Qt::Key_F2);
    rig.program.widget<QListWidget>(controls::kList)->setCurrentRow(0);
    press(rig, Qt::Key_Delete, {});
    rig.program.dialogs.saveAnswers = {SaveChoice::Discard};
    rig.program.click(controls::kRead);  // the keyboard holds no custom string
    std::string editOn;  // Edit, Undo, Redo during an operation, when Ctrl+Z does nothing
    rig.pump.at(rig.clock.nowUs() + 500'000, [&] {
        for (const char* item : {controls::kEditMenu, controls::kUndo, controls::kRedo}) editOn += rig.program.qtWindow.menu(item).enabled() ? '1' : '0';
        editOn += press(rig, Qt::Key_Z).size() == 0 ? "" : "!";
    });
    rig.program.click(controls::kVerify);
    EXPECT_EQ(editOn, "000");
    add(rig, Qt::Key_F4);
    QTest::mouseClick(rig.program.widget<QLabel>(controls::kClearList), Qt::LeftButton);  // (clear list)
    const std::vector<Rows> states = {{}, {"F4\tx"}, {}, {"F2\tx"}, {"F1\tx", "F2\tx"}, {"F1\tx"}, {}};
    for (std::size_t i = 1; i < states.size(); ++i) {
        EXPECT_EQ(press(rig, Qt::Key_Z), states[i]) << i;
        EXPECT_EQ(window.isWindowModified(), i != 2) << i;  // as read
    }
    for (std::size_t i = states.size() - 1; i-- > 0;)
        EXPECT_EQ(i % 2 ? press(rig, Qt::Key_Y) : press(rig, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier), states[i]);
    EXPECT_FALSE(rig.program.qtWindow.menu(controls::kRedo).enabled());
}

TEST(UnsavedWork, RecentFilesTheCommandLineADropAndTheFileManagerOpenOurFiles) {
    Rig rig;
    QMainWindow& window = rig.program.qtWindow.qwindow();
    auto path = [&](char i) { return rig.program.env.path(std::string("list") + i + ".cfg"); };
    for (char i = '1'; i <= '6'; ++i) {
        rig.program.env.write(std::string("list") + i + ".cfg", std::string(kHeader) + "001\tA\t" + i + "\r\n");
        rig.window().openFile(path(i));  // as from the command line
    }
    add(rig, Qt::Key_F1);
    rig.program.dialogs.saveAnswers = {SaveChoice::Cancel, SaveChoice::Discard};
    rig.program.menu(controls::kRecentFiles[4]);  // list2.cfg: cancelled
    EXPECT_EQ(rig.program.list(), (Rows{"A\t6", "F1\tx"}));
    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(QString::fromStdString(path('2')))});
    QDragEnterEvent enter(QPoint(9, 9), Qt::CopyAction, &dragged, Qt::LeftButton, {});
    QDropEvent drop(QPointF(9, 9), Qt::CopyAction, &dragged, Qt::LeftButton, {});
    QApplication::sendEvent(&window, &enter);
    QApplication::sendEvent(&window, &drop);
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.program.list(), Rows{"A\t2"});
    std::remove(path('6').c_str());
    Rig again(rig.program.env.read("KORVEN7.ini"));
    again.program.menu(controls::kRecentFiles[1]);  // list6.cfg is gone: the list stays, and the file leaves the menu
    EXPECT_EQ(again.program.dialogs.messages.at(0).rfind("Error opening specified config file. ", 0), 0u);
    EXPECT_EQ(again.program.qtWindow.qwindow().findChild<QAction*>(controls::kRecentFiles[3])->text(), "&4 list3.cfg");
    EXPECT_FALSE(again.program.qtWindow.qwindow().findChild<QAction*>(controls::kRecentFiles[4])->isVisible());

    // The package's MIME description as Qt reads it, as file managers do: ours by the first line.
    rig.program.env.write("other.cfg", "port=1\n");
    std::filesystem::create_directories(rig.program.env.path("mime/packages"));
    std::filesystem::copy_file(K7_SOURCE_DIR "/packaging/korven7-config-mime.xml", rig.program.env.path("mime/packages/k.xml"));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(rig.program.env.programFolder()));
    EXPECT_EQ(QMimeDatabase().mimeTypeForFile(QString::fromStdString(path('1'))).name(), "application/x-korven7-config");
    EXPECT_EQ(QMimeDatabase().mimeTypeForFile(QString::fromStdString(rig.program.env.path("other.cfg"))).name(), "text/plain");
}

}  // namespace
}  // namespace k7::test
