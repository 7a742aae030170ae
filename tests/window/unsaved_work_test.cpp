// Work the user could lose: the question before a changed list is set aside, undo and
// redo, the recent files, files opened from the command line and dropped on the window.
#include <gtest/gtest.h>

#include <filesystem>

#include <QListWidget>
#include <QMimeData>
#include <QMimeDatabase>
#include <QTest>
#include <QWindow>

#include "cfgfile/cfg_file.h"
#include "support/fake_port.h"
#include "support/program.h"

namespace k7::test {
namespace {

struct Rig {
    explicit Rig(const std::string& settings = "") : program(pump, port, settings) {}
    VirtualClock clock;
    FakePump pump{clock};
    FakeSerialPort port{clock, pump};
    Korven7Emulator device;
    bool attached = (port.attach(&device), true);
    Program program;
    MainWindow& window() { return *program.window; }
    QMainWindow& qwindow() { return program.qtWindow.qwindow(); }

    void add(Qt::Key key, const char* string) {
        QTest::keyClick(program.widget<QLineEdit>("KbdKey"), key);
        program.widget<QLineEdit>("KeyString")->setText(string);
        program.click("AddToList");
    }
    // Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z, pressed in the list.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(program.widget<QListWidget>("List1"), key, modifiers);
    }
    std::string saveFile(const std::string& name, const std::vector<KeyString>& entries) {
        program.env.write(name, cfgFileText(entries, "now"));
        return program.env.path(name);
    }
};

const std::string kAskOnClose =
    "The list of key strings has changes that are not saved.\n\nSave them before closing?";

TEST(UnsavedWork, CloseOpenAndReadAskOnlyAfterAChangeAndASaveThatDoesNotHappenCancels) {
    Rig rig;
    auto& dialogs = rig.program.dialogs;
    rig.qwindow().show();
    EXPECT_TRUE(rig.qwindow().close());  // nothing changed: no question
    rig.qwindow().show();
    rig.add(Qt::Key_F1, "x");
    EXPECT_EQ(rig.qwindow().windowHandle()->title(), "KORVEN7 CONFIG v1.05*");
    dialogs.saveAnswers = {SaveChoice::Cancel, SaveChoice::Save, SaveChoice::Cancel};
    dialogs.fileAnswers = {std::nullopt};  // Save with no file yet goes through Save As, here cancelled
    EXPECT_FALSE(rig.qwindow().close());
    EXPECT_FALSE(rig.qwindow().close());
    rig.program.click("ReadKeys");
    EXPECT_TRUE(rig.program.log().empty());  // asked before the read, which did not start
    EXPECT_EQ(dialogs.saveQuestions.front(), kAskOnClose);
    EXPECT_EQ(dialogs.saveQuestions.back(), "The list of key strings has changes that are not saved.\n\n"
                                            "Save them before reading the KORVEN7's strings?");

    const std::string file = rig.saveFile("tills.cfg", {{"A", "a"}});
    dialogs.saveAnswers = {SaveChoice::Discard};
    dialogs.fileAnswers = {file};
    rig.program.menu("FOpen");
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"A\ta"});
    EXPECT_FALSE(rig.qwindow().isWindowModified());
    rig.program.click("ReadKeys");  // nothing changed since the open: no question
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{});  // the keyboard holds its defaults

    rig.add(Qt::Key_F2, "y");
    dialogs.saveAnswers = {SaveChoice::Save};
    dialogs.confirmAnswers = {true};  // the list has a file: Save replaces it
    EXPECT_TRUE(rig.qwindow().close());
    EXPECT_NE(rig.program.env.read("tills.cfg").find("001\tF2\ty"), std::string::npos);
    EXPECT_EQ(dialogs.saveQuestions.size(), 5u);
    EXPECT_TRUE(dialogs.saveAnswers.empty() && dialogs.fileAnswers.empty() && dialogs.confirmAnswers.empty());
}

TEST(UnsavedWork, UndoAndRedoTakeBackAndMakeAgainAnAddARemovalAClearAndARead) {
    Rig rig;
    rig.qwindow().show();
    rig.qwindow().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rig.qwindow()));
    auto image = Korven7Emulator::DefaultImage();
    image[0] = 'q';
    rig.device.setFlash(image);
    rig.add(Qt::Key_F1, "x");
    rig.add(Qt::Key_F2, "y");
    auto* list = rig.program.widget<QListWidget>("List1");
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Delete);
    rig.program.dialogs.saveAnswers = {SaveChoice::Discard};
    rig.program.click("ReadKeys");  // the list is now as the keyboard holds it
    EXPECT_FALSE(rig.qwindow().isWindowModified());
    using Rows = std::vector<std::string>;
    const std::vector<Rows> before = {{}, {"A\tq"}, {"F2\ty"}, {"F1\tx", "F2\ty"}, {"F1\tx"}, {}};
    std::string editOn;  // Edit, Undo, Redo during the next operation
    rig.pump.at(rig.clock.nowUs() + 500'000, [&] {
        rig.press(Qt::Key_Z);  // nothing happens during an operation
        for (const char* item : {"Edit", "Undo", "Redo"}) editOn += rig.program.qtWindow.menu(item).enabled() ? '1' : '0';
    });
    rig.program.click("VerifyBtn");
    EXPECT_EQ(editOn, "000");
    EXPECT_EQ(rig.program.list(), before[1]);
    QTest::mouseClick(rig.program.widget<QLabel>("Label12"), Qt::LeftButton);  // (clear list)
    for (std::size_t i = 1; i < before.size(); ++i) {
        rig.press(Qt::Key_Z);
        EXPECT_EQ(rig.program.list(), before[i]) << i;
        EXPECT_EQ(rig.qwindow().isWindowModified(), i != 1) << i;  // clean: as read
    }
    EXPECT_FALSE(rig.program.qtWindow.menu("Undo").enabled());
    for (std::size_t i = before.size() - 1; i-- > 0;) {
        if (i % 2) rig.press(Qt::Key_Y);
        else rig.press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(rig.program.list(), before[i]) << i;
    }
    EXPECT_FALSE(rig.program.qtWindow.menu("Redo").enabled());
    rig.program.menu("Undo");
    EXPECT_EQ(rig.program.list(), before[1]);
}

TEST(UnsavedWork, RecentFilesTheCommandLineAndADropOpenFilesAfterTheQuestion) {
    Rig rig;
    auto& dialogs = rig.program.dialogs;
    EXPECT_FALSE(rig.program.qtWindow.menu("Recent").enabled());
    std::vector<std::string> files;
    for (int i = 1; i <= 6; ++i) {
        files.push_back(rig.saveFile("list" + std::to_string(i) + ".cfg", {{"A", std::to_string(i)}}));
        rig.window().openFile(files.back());
    }
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"A\t6"});
    const std::string settings = rig.program.env.read("KORVEN7.ini");
    EXPECT_NE(settings.find("[RECENT]\r\nFILE1=" + files[5] + "\r\nFILE2=" + files[4]), std::string::npos);
    EXPECT_EQ(settings.find(files[0]), std::string::npos);  // five kept

    Rig again(settings);
    auto* recent = again.qwindow().findChild<QAction*>("Recent5");
    EXPECT_TRUE(recent->isVisible());
    EXPECT_EQ(recent->text(), "&5 list2.cfg");
    EXPECT_EQ(recent->toolTip().toStdString(), files[1]);
    again.program.menu("Recent5");
    EXPECT_EQ(again.program.list(), std::vector<std::string>{"A\t2"});
    EXPECT_EQ(again.qwindow().findChild<QAction*>("Recent1")->text(), "&1 list2.cfg");
    std::remove(files[5].c_str());
    again.program.menu("Recent2");  // gone: the list stays, and so does the file name
    EXPECT_EQ(again.program.list(), std::vector<std::string>{"A\t2"});
    EXPECT_EQ(again.program.dialogs.messages.back().rfind("Error opening specified config file. ", 0), 0u);
    EXPECT_FALSE(again.qwindow().findChild<QAction*>("Recent5")->isVisible());

    rig.add(Qt::Key_F1, "x");
    dialogs.saveAnswers = {SaveChoice::Cancel, SaveChoice::Discard};
    rig.window().openFile(files[2]);  // as korven7-config list3.cfg
    EXPECT_EQ(rig.program.list(), (std::vector<std::string>{"A\t6", "F1\tx"}));
    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(QString::fromStdString(files[2]))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&rig.qwindow(), &enter);
    QApplication::sendEvent(&rig.qwindow(), &drop);
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"A\t3"});
    EXPECT_EQ(dialogs.saveQuestions.back(),
              "The list of key strings has changes that are not saved.\n\nSave them before opening list3.cfg?");
}

// What a file manager decides from the package's MIME description, as Qt reads it.
TEST(DesktopFiles, OurCfgFilesAreKnownByTheirFirstLineAndOtherCfgFilesAreNot) {
    TempEnvironment data;
    std::filesystem::create_directories(data.path("mime/packages"));
    std::filesystem::copy_file(K7_SOURCE_DIR "/packaging/korven7-config-mime.xml",
                               data.path("mime/packages/korven7-config.xml"));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.programFolder()));
    data.write("tills.cfg", cfgFileText({{"A", "a"}}, "now"));
    data.write("other.cfg", "# a configuration of something else\nport=1\n");
    const QMimeDatabase types;
    EXPECT_EQ(types.mimeTypeForFile(QString::fromStdString(data.path("tills.cfg"))).name(), "application/x-korven7-config");
    EXPECT_EQ(types.mimeTypeForFile(QString::fromStdString(data.path("other.cfg"))).name(), "text/plain");
}

}  // namespace
}  // namespace k7::test
