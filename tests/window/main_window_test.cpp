// The main window on real widgets, its device operations on virtual time against the
// in-process emulator: what the user does and what the user sees.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <map>

#include "keystrings/string_field_check.h"
#include "qt/qt_platform.h"
#include "support/window_rig.h"

namespace k7::test {
namespace {

using namespace controls;

TEST(MainWindow, StartsWithTheSettingsFileOnThePortAndItsLabels) {
    Rig rig("[COMSETTINGS]\nPORT=2\nBAUD=57600\nPARITY=E\n");
    EXPECT_EQ(rig.program.qtWindow.caption(), "KORVEN7 CONFIG v1.05");
    EXPECT_EQ(rig.port.portName, "/dev/ttyS1");
    EXPECT_EQ(rig.device.baud(), 57600);
    EXPECT_EQ(rig.program.caption(kPort) + rig.program.caption(kBaud) + rig.program.caption(kParity),
              "COM257600EVEN");
    Rig bad("[COMSETTINGS]\nPORT=x\nBAUD=fast\n");
    EXPECT_EQ(bad.program.dialogs.messages, (std::vector<std::string>{"Error detected - Type mismatch",
                                                                      "Error setting up comm port - Invalid property value"}));
    EXPECT_EQ(bad.program.caption(kPort) + bad.program.caption(kBaud), "COM19600");
}

TEST(MainWindow, AKeyPressAndATypedStringMakeAnEntryOnceAndADoubleClickRemovesIt) {
    Rig rig;
    auto* key = rig.program.widget<QLineEdit>(kKeyField);
    auto* text = rig.program.widget<QLineEdit>(kStringField);
    QTest::keyClick(key, Qt::Key_F1);
    EXPECT_EQ(key->text(), "F1");
    QTest::keyClicks(text, "ab{0d}{");
    EXPECT_EQ(text->text(), "ab{0D}{");  // upper case inside braces
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(rig.program.caption(kStringLength), "3");
    rig.program.click(kAddToList);
    rig.program.click(kAddToList);
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"F1\tab{0D}"});
    EXPECT_EQ(rig.program.dialogs.messages, std::vector<std::string>{"Cannot add .. this key is already in the list"});
    QTest::keyClicks(text, "abcdefghi");  // now 12 units: cut back to 10
    EXPECT_EQ(text->text(), "ab{0D}abcdefg");
    auto* list = rig.program.widget<QListWidget>(kList);
    list->setCurrentRow(0);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_TRUE(rig.window().keyStrings().entries().empty());
    EXPECT_EQ(list->count(), 0);
}

TEST(MainWindow, TheStringFieldRefusesWhatNoByteHoldsAndEveryEditShowsTheQuestionMark) {
    Rig rig;
    auto* text = rig.program.widget<QLineEdit>(kStringField);
    auto& picture = dynamic_cast<Picture&>(rig.program.control(kVerdictPicture));
    const std::function<void()> edits[] = {
        [&] { QTest::sendKeyEvent(QTest::Click, text, Qt::Key_unknown, QString::fromUtf8("a\u4E2D"), {}); },
        [&] { text->insert(QString::fromUtf8("\u00E9\u20ACc")); },  // a paste
        [&] { QTest::keyClick(text, Qt::Key_Backspace); },
        [&] { text->selectAll(), text->cut(); },
        [&] { text->paste(); },
    };
    for (const auto& edit : edits) {
        picture.load(rig.program.env.path("checkmark.gif"));
        edit();
        EXPECT_EQ(picture.loadedPath(), rig.program.env.path("question-mark.gif"));
    }
    EXPECT_EQ(text->text(), QString::fromUtf8("a\u00E9"));
    EXPECT_EQ(rig.program.dialogs.messages, std::vector<std::string>(2, "Only characters that fit in one byte (codes "
                                                                        "up to 255) can be entered .. write any byte as {HH}"));
}

TEST(MainWindow, SaveAndOpenKeepTheListAndASaveNeverReplacesAReadOnlyFile) {
    Rig rig;
    rig.window().keyStrings().replace({{"A", "x{7B}"}, {"F12", "{FF}"}});
    auto& dialogs = rig.program.dialogs;
    const std::string name = "Grüße 鍵.cfg", file = rig.program.env.path(name);  // names are UTF-8
    dialogs.fileAnswers = {file};
    rig.program.menu(kSaveAs);
    const std::string written = rig.program.env.read(name);
    EXPECT_EQ(written, "#Quimbrell KORVEN7 configuration file\r\n#File written 12/6/2026 7:30:00 AM\r\n\r\n"
                       "001\tA\tx{7B}\r\n002\tF12\t{FF}\r\n");
    dialogs.fileAnswers = {std::nullopt, file};
    rig.program.menu(kOpen);  // cancelled: the list stays
    EXPECT_EQ(rig.program.list().size(), 2u);
    rig.window().keyStrings().clear();
    rig.program.menu(kOpen);
    EXPECT_EQ(rig.program.list(), (std::vector<std::string>{"A\tx{7B}", "F12\t{FF}"}));
    EXPECT_EQ(rig.program.widget<QLabel>(kFile)->text(), QString::fromUtf8(name));
    dialogs.confirmAnswers = {true, true};
    rig.window().keyStrings().replace({{"B", "b"}});
    ::chmod(rig.program.env.programFolder().c_str(), 0500);  // no temporary file there: written in place
    rig.program.menu(kSave);
    ::chmod(rig.program.env.programFolder().c_str(), 0700);
    ::chmod(file.c_str(), 0444);
    rig.program.menu(kSave);  // a read-only file stays as it is
    EXPECT_EQ(rig.program.env.read(name).substr(written.find("001")), "001\tB\tb\r\n");
    EXPECT_EQ(dialogs.messages.back(), "Error saving file The file is read-only; nothing was written");
    rig.program.env.write("odd.cfg", "1\tA\tx\n2\tA\ty\n3\t\tz\n");  // a key twice; an older file's empty legend
    dialogs.fileAnswers = {rig.program.env.path("odd.cfg")};
    rig.program.menu(kOpen);  // one message once the list is loaded
    EXPECT_EQ(dialogs.messages.back(), "1 line of the file was not loaded:\nline 1: key \"A\" is listed again on line 2");
    EXPECT_EQ(rig.program.list(), (std::vector<std::string>{"A\ty", "NONUS#\tz"}));
    dialogs.fileAnswers = {"/dev/zero"};  // a device, read without end, is refused unread
    rig.program.menu(kOpen);
    EXPECT_EQ(dialogs.messages.back(), "Error opening specified config file. Not a regular file or pipe");
}

TEST(MainWindow, ReadReplacesTheListOnlyWhenTheDeviceAnswered) {
    Rig rig;
    rig.window().keyStrings().replace({{"Z", "unsaved"}});
    rig.device.faults().silent = true;
    rig.program.click(kRead);
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"Z\tunsaved"});
    EXPECT_EQ(rig.program.dialogs.beeps, 1);
    rig.device.faults().silent = false;
    rig.device.faults().readbackLength = 52;  // every reply garbled: no key answered
    rig.program.click(kRead);
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"Z\tunsaved"});
    rig.device.faults() = {};
    auto image = Korven7Emulator::DefaultImage();
    image[0] = 'q';
    rig.device.setFlash(image);
    rig.program.click(kRead);
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"A\tq"});
    EXPECT_EQ(rig.program.caption(kVerdict), "1 Custom strings found in KORVEN7 ");
    EXPECT_TRUE(rig.program.control(kVerdictPicture).visible());
    EXPECT_FALSE(rig.program.widget<QLabel>(kVerdictPicture)->pixmap().isNull());
    for (const char* name : {kSend, kVerify, kRead, kVersion, kAddToList, kKeyField})
        EXPECT_TRUE(rig.program.control(name).enabled()) << name;
    EXPECT_FALSE(rig.port.isOpen());
}

TEST(MainWindow, WhileAnOperationRunsOnlyHelpIsOnAndTheReasonASendStoppedStaysInTheLog) {
    Rig rig;
    std::string menusOn;  // File, Configuration, Clear All, Print Screen, Help: 1 when on
    auto look = [&] {
        for (const char* menu : {kFileMenu, kConfiguration, kClearAll, kPrintScreen, kHelpMenu})
            menusOn += rig.program.qtWindow.menu(menu).enabled() ? '1' : '0';
    };
    rig.pump.at(500'000, look);
    rig.device.faults().noAckAtFrame = 4;
    rig.program.click(kSend);
    const auto log = rig.program.log();  // the reason, then the verify
    EXPECT_NE(std::find(std::find(log.begin(), log.end(), "No ACK .. RECVD:"), log.end(), "Read Operation Requested"),
              log.end());
    rig.pump.at(rig.clock.nowUs() + 100'000, look);
    rig.program.click(kVersion);
    look();
    EXPECT_EQ(menusOn, "000010000111111");
}

TEST(MainWindow, ReadsAndSendsAreKeptInTheHistoryAndABackupThatFailsStopsTheSendBeforeTheErase) {
    Rig rig;
    auto image = Korven7Emulator::DefaultImage();
    image[0] = 'q';
    rig.device.setFlash(image);
    rig.program.click(kRead);
    rig.window().keyStrings().replace({{"B", "zz"}, {"C", "y"}});
    // The list stays editable during a send: clearing it meanwhile changes neither what the
    // send verifies nor what the history says the keyboard holds.
    rig.pump.at(rig.clock.nowUs() + 200'000, [&] { rig.window().keyStrings().clear(); });
    rig.program.click(kSend);
    EXPECT_EQ(rig.program.caption(kVerdict), "KORVEN7 strings VERIFIED!");
    InHistoryDialog(rig, [](QDialog& dialog, QListWidget& rows) {
        ASSERT_EQ(rows.count(), 2);
        EXPECT_TRUE(rows.item(0)->text().endsWith("\tsent to ttyS0\t2 custom strings")) << rows.item(0)->text().toStdString();
        EXPECT_TRUE(rows.item(1)->text().endsWith("\tread from ttyS0\t1 custom string"));
        rows.setCurrentRow(1);
        dialog.findChild<QPushButton*>(history::kOpen)->click();
    });
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"A\tq"});  // loaded as File → Open loads

    InSettingsDialog(rig, [](QDialog& dialog) {
        dialog.findChild<QCheckBox*>(config::kBackupFirst)->setChecked(true);
        dialog.findChild<QPushButton*>(config::kSave)->click();
    });
    EXPECT_NE(rig.program.env.read("KORVEN7.ini").find("BACKUP=1"), std::string::npos);
    const auto sent = rig.device.flash();
    rig.device.faults().silentRows = {7};
    rig.program.click(kSend);
    EXPECT_EQ(rig.device.flash(), sent);
    EXPECT_EQ(rig.program.dialogs.messages.back(),
              "Nothing was sent: the keyboard could not be read completely. The keyboard still holds its strings.");
    rig.device.faults() = {};
    rig.program.click(kSend);  // the list from the history: the backup holds what the last send wrote
    EXPECT_EQ(rig.device.flash(), image);
    InHistoryDialog(rig, [](QDialog& dialog, QListWidget& rows) {
        ASSERT_EQ(rows.count(), 4);
        EXPECT_TRUE(rows.item(1)->text().endsWith("\tbacked up from ttyS0\t2 custom strings"));
        dialog.reject();
    });
}

// "name: caption" of each label, button and check box whose control cuts its caption.
std::vector<std::string> CutCaptions(QWidget& window) {
    std::vector<std::string> cut;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(w);
        auto* button = qobject_cast<QAbstractButton*>(w);
        QStyleOptionButton option;
        option.initFrom(w);
        const auto inside = qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
        const QRect room = label ? label->contentsRect() : w->style()->subElementRect(inside, &option, w);
        const QString text = label ? label->text() : button ? button->text() : "";
        const int flags = label ? int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0) : Qt::AlignCenter;
        if (!text.isEmpty() && !room.contains(w->fontMetrics().boundingRect(room, flags, text)))
            cut.push_back((w->objectName() + ": " + text).toStdString());
    }
    return cut;
}

void AccessibleTree(QAccessibleInterface* node, std::map<std::string, QAccessibleInterface*>& tree) {
    tree[node->object() ? node->object()->objectName().toStdString() : ""] = node;
    for (int i = 0; i < node->childCount(); ++i) AccessibleTree(node->child(i), tree);
}

// Runs at each scale the suite sets (QT_SCALE_FACTOR 1, 1.5 and 2), after a failed verify.
TEST(Layout, CaptionsFitTheirControlsScreenReadersHearTheValuesShownAndTheLogNarrowsWithTheWindow) {
    Rig rig("[COMSETTINGS]\nPORT=2\nBAUD=57600\nPARITY=E\n");
    rig.window().keyStrings().replace({{"A", "x"}});
    rig.program.click(kVerify);
    auto& window = rig.program.qtWindow.qwindow();
    EXPECT_EQ(CutCaptions(window), std::vector<std::string>{});
    InSettingsDialog(rig, [&](QDialog& dialog) {
        EXPECT_EQ(CutCaptions(dialog), std::vector<std::string>{});
        QTest::keyClick(dialog.findChild<QComboBox*>(config::kBauds), Qt::Key_Return);  // Enter on a list presses nothing,
        EXPECT_TRUE(dialog.isVisible() && dialog.findChild<QLabel*>(config::kFindStatus)->text().isEmpty());
        QTest::keyClick(dialog.findChild<QPushButton*>(config::kClose), Qt::Key_Return);  // on a button it presses it
        EXPECT_FALSE(dialog.isVisible());
    });
    InHistoryDialog(rig, [](QDialog& dialog, QListWidget&) {
        EXPECT_EQ(CutCaptions(dialog), std::vector<std::string>{});
        dialog.reject();
    });
    std::map<std::string, QAccessibleInterface*> tree;  // heard: the name, then the captions related to it
    AccessibleTree(QAccessible::queryAccessibleInterface(&window), tree);
    for (const auto& [control, heard] : std::map<std::string, std::string>{
             {kPort, "COM2|PORT:|"}, {kBaud, "57600|BAUD RATE:|"}, {kParity, "EVEN|PARITY:|"},
             {kFile, "None|CONFIG FILE:|"}, {kStringLength, "0|String Length|"}, {kPercent, "100%|Progress|"},
             {kVerdict, "1 KORVEN7 strings FAILED to match list|"}, {kKeyField, "Keyboard Key|Keyboard Key|"},
             {kSend, "Send Strings To KORVEN7|"}, {kClearBeforeEach, "Clear Details before each operation|"}}) {
        ASSERT_TRUE(tree.count(control)) << control;
        std::string names = tree[control]->text(QAccessible::Name).toStdString() + "|";
        for (const auto& [label, relation] : tree[control]->relations(QAccessible::Label))
            names += label->text(QAccessible::Name).toStdString() + "|";
        EXPECT_TRUE(names.starts_with(heard)) << names;
    }
    window.show();
    const int wide = window.width(), log = rig.program.widget(kLog)->width();
    window.resize(wide * 5 / 4, window.height());
    EXPECT_NEAR(rig.program.widget(kLog)->width(), log + (wide * 5 / 4 - wide), 1);
    // At its smallest every control shows whole, and none covers the log's border.
    window.resize(600, 500);
    QWidget* surface = window.centralWidget();
    for (QWidget* w : surface->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(w->objectName() == kLog || w->objectName() == kHelpView || surface->rect().contains(w->geometry()))
            << w->objectName().toStdString();
    for (const char* name : {kClearLogNow, kClearBeforeEach, kLogCaption})
        EXPECT_FALSE(rig.program.widget(name)->geometry().intersects(rig.program.widget(kLog)->geometry())) << name;
    rig.program.menu(kHelpOverview);  // the help pane's close button covers none of the page
    auto* page = qobject_cast<QAbstractScrollArea*>(rig.program.widget(kHelpView));
    const QRect text(page->viewport()->mapTo(surface, QPoint(0, 0)), page->viewport()->size());
    EXPECT_FALSE(rig.program.widget(kCloseHelpButton)->geometry().intersects(text));
}

TEST(MainWindow, OnlyTheLeftButtonActsTheKeyFieldTakesOnlyKeysAndKeepsThemAndAllWorksFromTheKeyboard) {
    Rig rig;
    rig.window().keyStrings().replace({{"A", "x"}, {"B", "y"}});
    auto* list = rig.program.widget<QListWidget>(kList);
    auto* text = rig.program.widget<QLineEdit>(kStringField);
    text->setText("abc");
    list->setCurrentRow(0);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(rig.program.widget(kClearList), button);
        QTest::mouseDClick(list->viewport(), button, {}, list->visualItemRect(list->item(0)).center());
        QTest::mouseDClick(text, button);
    }
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, {5, list->viewport()->height() - 5});  // on no entry
    EXPECT_EQ(rig.program.list().size() + text->text().size(), 2u + 3u);
    QTest::mouseDClick(text, Qt::LeftButton);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"B\ty"});
    QTest::keyClick(rig.program.widget(kClearList), Qt::Key_Space);
    EXPECT_EQ(rig.program.list().size() + text->text().size(), 0u);

    auto* key = rig.program.widget<QLineEdit>(kKeyField);  // dropped text, a menu to paste from, a modifier alone
    QTest::keyClick(key, Qt::Key_F2);
    QMimeData dropped;
    dropped.setText("Q");
    QDragEnterEvent drag({5, 5}, Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QDropEvent drop({5, 5}, Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QContextMenuEvent menu(QContextMenuEvent::Mouse, {5, 5}, key->mapToGlobal(QPoint(5, 5)));
    for (QEvent* event : std::initializer_list<QEvent*>{&drag, &drop, &menu}) QApplication::sendEvent(key, event);
    QTest::keyClick(key, Qt::Key_Alt);
    EXPECT_EQ(key->text(), "F2");
    std::string shown;  // a modifier alone keeps the text yet ends a key's run of presses
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Shift, Qt::Key_Return, Qt::Key_Insert, Qt::Key_Control, Qt::Key_Insert}) {
        QTest::keyClick(key, k);
        shown += key->text().toStdString() + " ";
    }
    EXPECT_EQ(shown, "ENTER ENTER ENTER KPins KPins KPins ");
    EXPECT_FALSE(QApplication::activePopupWidget());
    for (const auto& [reason, shown] : std::map<Qt::FocusReason, QString>{
             {Qt::ActiveWindowFocusReason, "F1"}, {Qt::PopupFocusReason, "F1"}, {Qt::OtherFocusReason, "F1"},
             {Qt::MouseFocusReason, "F1"}, {Qt::TabFocusReason, ""}, {Qt::BacktabFocusReason, ""}}) {
        QTest::keyClick(key, Qt::Key_F1);
        QFocusEvent in(QEvent::FocusIn, reason);
        QApplication::sendEvent(key, &in);
        EXPECT_EQ(key->text(), shown) << reason;
    }
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton}) {  // a click moves in
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(key, &in);
        QTest::mouseClick(key, button);
        EXPECT_EQ(key->text(), button == Qt::LeftButton ? "" : "F1") << button;
    }
    key->setFocus();
    QTest::keyClick(key, Qt::Key_Tab, Qt::ControlModifier);  // leaves the key field, in which Tab is a key
    EXPECT_EQ(rig.program.qtWindow.qwindow().focusWidget(), text);
}

TEST(MainWindow, HelpShowsItsPageInFrontAndPrintingPutsTheListBesideTheLog) {
    Rig rig;
    rig.program.menu(kHelpVerifying);
    EXPECT_TRUE(rig.program.control(kHelpView).visible());
    EXPECT_EQ(dynamic_cast<HtmlView&>(rig.program.control(kHelpView)).location(),
              rig.program.env.path("KORVVerify.htm"));
    rig.program.click(kCloseHelpButton);
    EXPECT_FALSE(rig.program.control(kHelpView).visible());

    rig.window().keyStrings().replace({{"A", "x"}});
    rig.program.click(kVersion);
    rig.program.menu(kPrintScreen);
    EXPECT_EQ(rig.program.printer.lines,
              (std::vector<std::string>{"KORVEN7 CONFIG v1.05   printed 12/6/2026 7:30:00 AM",
                                        "Config file: None   Port: COM1, 9600 baud, NONE", "",
                                        "Custom Key Strings" + std::string(16, ' ') + "\tCommunication Details",
                                        "A\tx" + std::string(31, ' ') + "\tRequesting Version",
                                        std::string(34, ' ') + "\tVersion = KORVEN7 V2.14\r\n"}));
    EXPECT_EQ(rig.program.log().back(), "Print Screen: sent to the printer");
    // Every row comes out; a printer that fails is a failure, not a cancel.
    rig.window().keyStrings().replace(std::vector<KeyString>(305, {"A", "x"}));
    rig.program.printer.failAfterLines = 314;  // after 304 rows of 305
    rig.program.menu(kPrintScreen);
    EXPECT_EQ(rig.program.printer.lines.size(), 314u);
    rig.program.printer.cancel = true;
    rig.program.menu(kPrintScreen);
    EXPECT_EQ(rig.program.dialogs.messages,
              (std::vector<std::string>{"Printing failed - Printer error", "Printing cancelled"}));
    EXPECT_EQ(rig.program.printer.documents, 2);
}

TEST(MainWindow, ClosingDuringASendAsksToStopItAndTheWindowStaysUntilTheSendHasEnded) {
    Rig rig;
    auto& window = rig.program.qtWindow.qwindow();
    window.show();
    rig.program.dialogs.confirmAnswers = {false, true};
    rig.pump.at(500'000, [&] {
        window.close();  // No: the send goes on
        window.close();  // Yes: it stops after the block being written
        EXPECT_TRUE(window.isVisible());
    });
    rig.program.click(kSend);
    EXPECT_FALSE(window.isVisible());
    const auto log = rig.program.log();
    EXPECT_LT(std::count_if(log.begin(), log.end(), [](const std::string& line) { return line.starts_with("Flashing"); }), 8);
    ASSERT_EQ(rig.program.dialogs.questions.size(), 2u);
    EXPECT_TRUE(rig.program.dialogs.questions[1].ends_with("the keyboard will need a new send."));
}

TEST(MainWindow, AFailedOperationSaysWhatToTryAndOneSendFillsTheProgressBarOnce) {
    Rig rig;
    rig.device.faults().silent = true;
    for (const char* button : {kSend, kVerify, kRead}) {
        rig.program.click(button);
        EXPECT_EQ(rig.program.log().back(), "Check the cable and that the KORVEN7 has power, or the port in "
                                            "Configuration, or use Find KORVEN7 there") << button;
        for (const char* shown : {kVerdict, kPercent}) EXPECT_FALSE(rig.program.control(shown).visible());
    }
    rig.device.faults().silent = false;
    auto* bar = rig.program.widget<QProgressBar>(kProgress);
    std::vector<int> values;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) { values.push_back(value); });
    rig.program.click(kSend);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(values.back(), bar->maximum());
}

TEST(MainWindow, EnterAddsTheStringOrPressesTheFocusedButtonAndAnUnfinishedGroupIsRefused) {
    Rig rig;
    auto* key = rig.program.widget<QLineEdit>(kKeyField);
    auto* text = rig.program.widget<QLineEdit>(kStringField);
    QTest::keyClick(key, Qt::Key_F2);
    QTest::keyClicks(text, "ab{");
    for (const char* typed : {"", "41}"}) {  // refused while the group is open, added once it is closed
        QTest::keyClicks(text, typed);
        QTest::keyClick(text, Qt::Key_Return);
    }
    QTest::keyClick(key, Qt::Key_F3);
    QTest::keyClick(rig.program.widget(kAddToList), Qt::Key_Enter);
    EXPECT_EQ(rig.program.list(), (std::vector<std::string>{"F2\tab{41}", "F3\tab{41}"}));
    EXPECT_EQ(rig.program.dialogs.messages, std::vector<std::string>{kUnfinishedGroupMessage});
}

TEST(FileMenu, OpenLeavesOutStringsTheKeyboardCannotTakeSaveAsAddsCfgAndOverwritingDefaultsToNo) {
    Rig rig;
    auto& dialogs = rig.program.dialogs;
    rig.program.env.write("bad.cfg", "1\tA\ta{00}\n2\tB\t12345678901\n3\tC\tab{4\n4\tD\t{0d}\n");
    dialogs.fileAnswers = {rig.program.env.path("bad.cfg"), rig.program.env.path("tills")};
    rig.program.menu(kOpen);
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"D\t{0d}"});
    EXPECT_EQ(dialogs.messages.back(), "3 lines of the file were not loaded:\nline 1: the string of \"A\": it holds {00}, "
                                       "which no key can send\nline 2: the string of \"B\": it is longer than 10 bytes\n"
                                       "line 3: the string of \"C\": \"{4\" has no closing brace");
    rig.program.menu(kSaveAs);
    EXPECT_TRUE(rig.program.env.read("tills.cfg").ends_with("\r\n001\tD\t{0d}\r\n"));
    qt::QtDialogs asked(&rig.program.qtWindow.qwindow());
    QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
    EXPECT_FALSE(asked.confirm("File exists -- want to overwrite? Y/N", "Confirm"));
}

}  // namespace
}  // namespace k7::test
