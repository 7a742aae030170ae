// The main window on real widgets, its device operations on virtual time against the
// in-process emulator: what the user does and what the user sees.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <map>

#include "keystrings/keyboard_layout.h"
#include "qt/qt_key_map.h"
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
};

TEST(MainWindow, StartsWithTheSettingsFileOnThePortAndItsLabels) {
    Rig rig("[COMSETTINGS]\nPORT=2\nBAUD=57600\nPARITY=E\n");
    EXPECT_EQ(rig.program.qtWindow.caption(), "KORVEN7 CONFIG v1.05");
    EXPECT_EQ(rig.port.portName, "/dev/ttyS1");
    EXPECT_EQ(rig.device.baud(), 57600);
    EXPECT_EQ(rig.program.caption("CommLabel") + rig.program.caption("BaudLabel") + rig.program.caption("ParityLabel"),
              "COM257600EVEN");
    Rig bad("[COMSETTINGS]\nPORT=x\nBAUD=fast\n");
    EXPECT_EQ(bad.program.dialogs.messages, (std::vector<std::string>{"Error detected - Type mismatch",
                                                                      "Error setting up comm port - Invalid property value"}));
    EXPECT_EQ(bad.program.caption("CommLabel") + bad.program.caption("BaudLabel"), "COM19600");
}

TEST(MainWindow, AKeyPressAndATypedStringMakeAnEntryOnceAndADoubleClickRemovesIt) {
    Rig rig;
    auto* key = rig.program.widget<QLineEdit>("KbdKey");
    auto* text = rig.program.widget<QLineEdit>("KeyString");
    QTest::keyClick(key, Qt::Key_F1);
    EXPECT_EQ(key->text(), "F1");
    QTest::keyClicks(text, "ab{0d}{");
    EXPECT_EQ(text->text(), "ab{0D}{");  // upper case inside braces
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(rig.program.caption("StringCount"), "3");
    rig.program.click("AddToList");
    rig.program.click("AddToList");
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"F1\tab{0D}"});
    EXPECT_EQ(rig.program.dialogs.messages, std::vector<std::string>{"Cannot add .. this key is already in the list"});
    QTest::keyClicks(text, "abcdefghi");  // now 12 units: cut back to 10
    EXPECT_EQ(text->text(), "ab{0D}abcdefg");
    auto* list = rig.program.widget<QListWidget>("List1");
    list->setCurrentRow(0);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_TRUE(rig.window().keyStrings().entries().empty());
    EXPECT_EQ(list->count(), 0);
}

TEST(MainWindow, TheStringFieldRefusesWhatNoByteHoldsAndEveryEditShowsTheQuestionMark) {
    Rig rig;
    auto* text = rig.program.widget<QLineEdit>("KeyString");
    auto& picture = dynamic_cast<Picture&>(rig.program.control("MatchImage"));
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
    rig.program.menu("SaveAs");
    const std::string written = rig.program.env.read(name);
    EXPECT_EQ(written, "#Quimbrell KORVEN7 configuration file\r\n#File written 12/6/2026 7:30:00 AM\r\n\r\n"
                       "001\tA\tx{7B}\r\n002\tF12\t{FF}\r\n");
    dialogs.fileAnswers = {std::nullopt, file};
    rig.program.menu("FOpen");  // cancelled: the list stays
    EXPECT_EQ(rig.program.list().size(), 2u);
    rig.window().keyStrings().clear();
    rig.program.menu("FOpen");
    EXPECT_EQ(rig.program.list(), (std::vector<std::string>{"A\tx{7B}", "F12\t{FF}"}));
    EXPECT_EQ(rig.program.widget<QLabel>("CfgLabel")->text(), QString::fromUtf8(name));
    dialogs.confirmAnswers = {true, true};
    rig.window().keyStrings().replace({{"B", "b"}});
    ::chmod(rig.program.env.programFolder().c_str(), 0500);  // no temporary file there: written in place
    rig.program.menu("FSave");
    ::chmod(rig.program.env.programFolder().c_str(), 0700);
    ::chmod(file.c_str(), 0444);
    rig.program.menu("FSave");  // a read-only file stays as it is
    EXPECT_EQ(rig.program.env.read(name).substr(written.find("001")), "001\tB\tb\r\n");
    EXPECT_EQ(dialogs.messages.back(), "Error saving file The file is read-only; nothing was written");
    rig.program.env.write("odd.cfg", "1\tA\tx\n2\tA\ty\n");
    dialogs.fileAnswers = {rig.program.env.path("odd.cfg")};
    rig.program.menu("FOpen");  // one message once the list is loaded
    EXPECT_EQ(dialogs.messages.back(), "1 line of the file was not loaded:\nline 2: key \"A\" is listed already");
}

TEST(MainWindow, ReadReplacesTheListOnlyWhenTheDeviceAnswered) {
    Rig rig;
    rig.window().keyStrings().replace({{"Z", "unsaved"}});
    rig.device.faults().silent = true;
    rig.program.click("ReadKeys");
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"Z\tunsaved"});
    EXPECT_EQ(rig.program.dialogs.beeps, 1);
    rig.device.faults().silent = false;
    rig.device.faults().readbackLength = 52;  // every reply garbled: no key answered
    rig.program.click("ReadKeys");
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"Z\tunsaved"});
    rig.device.faults() = {};
    auto image = Korven7Emulator::DefaultImage();
    image[0] = 'q';
    rig.device.setFlash(image);
    rig.program.click("ReadKeys");
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"A\tq"});
    EXPECT_EQ(rig.program.caption("MatchString"), "1 Custom strings found in KORVEN7 ");
    EXPECT_TRUE(rig.program.control("MatchImage").visible());
    EXPECT_FALSE(rig.program.widget<QLabel>("MatchImage")->pixmap().isNull());
    for (const char* name : {"SendKeys", "VerifyBtn", "ReadKeys", "GetVersionBtn", "AddToList", "KbdKey"})
        EXPECT_TRUE(rig.program.control(name).enabled()) << name;
    EXPECT_FALSE(rig.port.isOpen());
}

TEST(MainWindow, WhileAnOperationRunsOnlyHelpIsOnAndTheReasonASendStoppedStaysInTheLog) {
    Rig rig;
    std::string menusOn;  // File, Configuration, Clear All, Print Screen, Help: 1 when on
    auto look = [&] {
        for (const char* menu : {"File", "Config", "ClearAll", "prscr", "Help"})
            menusOn += rig.program.qtWindow.menu(menu).enabled() ? '1' : '0';
    };
    rig.pump.at(500'000, look);
    rig.device.faults().noAckAtFrame = 4;
    rig.program.click("SendKeys");
    const auto log = rig.program.log();  // the reason, then the verify
    EXPECT_NE(std::find(std::find(log.begin(), log.end(), "No ACK .. RECVD:"), log.end(), "Read Operation Requested"),
              log.end());
    rig.pump.at(rig.clock.nowUs() + 100'000, look);
    rig.program.click("GetVersionBtn");
    look();
    EXPECT_EQ(menusOn, "000010000111111");
}

TEST(MainWindow, TheSettingsDialogStoresAndAppliesTheChoiceAndStaysOpenWhenItCannot) {
    Rig rig("; my settings\n[COMSETTINGS]\nPORT=12\nBAUD=300\nPARITY=M\n[PORTS]\nCOM3=/dev/ttyUSB0\n");
    const std::string ini = rig.program.env.path("KORVEN7.ini");
    ::chmod(ini.c_str(), 0444);
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        dialog->findChild<QComboBox*>("cboPort")->setCurrentIndex(2);
        dialog->findChild<QComboBox*>("cboBaud")->setCurrentText("19.2k");  // parity: none to select
        dialog->findChild<QPushButton*>("ConfigSave")->click();
        EXPECT_TRUE(dialog->isVisible());
        ::chmod(ini.c_str(), 0644);
        dialog->findChild<QPushButton*>("ConfigSave")->click();
    });
    rig.program.menu("Config");
    EXPECT_EQ(rig.program.env.read("KORVEN7.ini"),
              "; my settings\n[COMSETTINGS]\nPORT=3\nBAUD=19200\nPARITY=M\n[PORTS]\nCOM3=/dev/ttyUSB0\n"
              "[GENERAL]\nENABLESTRINGS=0\nBACKUP=0\n");
    EXPECT_EQ(rig.port.portName, "/dev/ttyUSB0");
    EXPECT_EQ(rig.program.caption("BaudLabel") + rig.program.caption("CommLabel"), "19200COM3 (ttyUSB0)");
    EXPECT_EQ(rig.program.dialogs.messages,
              std::vector<std::string>{"Error saving configuration - The file is read-only; nothing was written"});
}

// Runs `steps` in the settings dialog once the menu has opened it.
void InSettingsDialog(Rig& rig, const std::function<void(QDialog&)>& steps) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        steps(*dialog);
    });
    rig.program.menu("Config");
}

// Runs `steps` in the History dialog once File → History has opened it.
void InHistoryDialog(Rig& rig, const std::function<void(QDialog&, QListWidget&)>& steps) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        steps(*dialog, *dialog->findChild<QListWidget*>("HistoryList"));
    });
    rig.program.menu("FHistory");
}

TEST(MainWindow, ReadsAndSendsAreKeptInTheHistoryAndABackupThatFailsStopsTheSendBeforeTheErase) {
    Rig rig;
    auto image = Korven7Emulator::DefaultImage();
    image[0] = 'q';
    rig.device.setFlash(image);
    rig.program.click("ReadKeys");
    rig.window().keyStrings().replace({{"B", "zz"}, {"C", "y"}});
    rig.program.click("SendKeys");
    InHistoryDialog(rig, [](QDialog& dialog, QListWidget& rows) {
        ASSERT_EQ(rows.count(), 2);
        EXPECT_TRUE(rows.item(0)->text().endsWith("\tsent to ttyS0\t2 custom strings")) << rows.item(0)->text().toStdString();
        EXPECT_TRUE(rows.item(1)->text().endsWith("\tread from ttyS0\t1 custom string"));
        rows.setCurrentRow(1);
        dialog.findChild<QPushButton*>("HistoryOpen")->click();
    });
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"A\tq"});  // loaded as File → Open loads

    InSettingsDialog(rig, [](QDialog& dialog) {
        dialog.findChild<QCheckBox*>("BackupFirst")->setChecked(true);
        dialog.findChild<QPushButton*>("ConfigSave")->click();
    });
    EXPECT_NE(rig.program.env.read("KORVEN7.ini").find("BACKUP=1"), std::string::npos);
    const auto sent = rig.device.flash();
    rig.device.faults().silentRows = {7};
    rig.program.click("SendKeys");
    EXPECT_EQ(rig.device.flash(), sent);
    EXPECT_EQ(rig.program.dialogs.messages.back(),
              "Nothing was sent: the keyboard could not be read completely. The keyboard still holds its strings.");
    rig.device.faults() = {};
    rig.program.click("SendKeys");  // the list from the history: the backup holds what the last send wrote
    EXPECT_EQ(rig.device.flash(), image);
    InHistoryDialog(rig, [](QDialog& dialog, QListWidget& rows) {
        ASSERT_EQ(rows.count(), 4);
        EXPECT_TRUE(rows.item(1)->text().endsWith("\tbacked up from ttyS0\t2 custom strings"));
        dialog.reject();
    });
}

// The port list's entries from `first` on, each with the device shown beside it.
std::vector<std::string> PortRows(QDialog& dialog, int first) {
    auto* box = dialog.findChild<QComboBox*>("cboPort");
    std::vector<std::string> rows;
    for (int i = first; i < box->count(); ++i)
        rows.push_back((box->itemText(i) + " " + box->model()->index(i, 1).data().toString()).toStdString());
    return rows;
}

SerialPortInfo Adapter(const std::string& device, const std::string& stablePath = "") {
    return {device, "FT232R USB UART", "FTDI", "A5", stablePath};
}

TEST(SettingsDialog, OffersThePortsThereAreFollowsPluggingAndStoresAnAdapterByItsStablePath) {
    Rig rig("[COMSETTINGS]\nPORT=2\n[PORTS]\nCOM14=/dev/k7-gone\nCOM12=/dev/null\n");
    rig.program.ports.list = {{"/dev/ttyS0", "", "", "", ""}, Adapter("/dev/ttyUSB0")};
    InSettingsDialog(rig, [&](QDialog& dialog) {
        EXPECT_EQ(PortRows(dialog, 0).front(), "COM1 /dev/ttyS0");
        EXPECT_EQ(PortRows(dialog, 7), (std::vector<std::string>{"COM8 /dev/ttyS7 (does not exist)",
                                                                 "COM9 /dev/ttyUSB0: FT232R USB UART, FTDI, serial A5",
                                                                 "COM12 /dev/null", "COM14 /dev/k7-gone (does not exist)"}));
        EXPECT_EQ(dialog.findChild<QLabel*>("PortDetail")->text(), "/dev/ttyS1 (does not exist)");
        rig.program.ports.list = {Adapter("/dev/ttyACM0", "/dev/serial/by-id/usb-K7-if00")};  // one out, one in
        rig.pump.waitEvents();  // the next look at the system's ports
        EXPECT_EQ(PortRows(dialog, 8), (std::vector<std::string>{"COM10 /dev/ttyACM0: FT232R USB UART, FTDI, serial A5",
                                                                 "COM12 /dev/null", "COM14 /dev/k7-gone (does not exist)"}));
        dialog.findChild<QComboBox*>("cboPort")->setCurrentIndex(8);
        dialog.findChild<QPushButton*>("ConfigSave")->click();
    });
    const std::string ini = rig.program.env.read("KORVEN7.ini");
    EXPECT_NE(ini.find("PORT=10\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("COM12=/dev/null\nCOM10=/dev/serial/by-id/usb-K7-if00\n"), std::string::npos) << ini;
    EXPECT_EQ(rig.port.portName, "/dev/serial/by-id/usb-K7-if00");
    EXPECT_EQ(rig.program.caption("CommLabel"), "COM10 (usb-K7-if00)");
    EXPECT_EQ(rig.program.widget("CommLabel")->toolTip(), "/dev/ttyACM0: FT232R USB UART, FTDI, serial A5");
}

TEST(SettingsDialog, FindSendsOnlyTheVersionRequestSkipsABusyPortAndSelectsTheFirstPortAndRateThatAnswer) {
    Rig rig;
    Korven7Emulator silent, at19200(19200), at9600(9600);
    silent.faults().silent = true;
    rig.port.wired = {{"/dev/ttyUSB0", &silent}, {"/dev/ttyUSB2", &at19200}, {"/dev/ttyUSB3", &at9600}};
    rig.port.failOpenAt["/dev/ttyUSB1"] = {PortFailure::Busy, "Locked (ttyUSB1) - in use by another program"};
    auto& ports = rig.program.ports.list;
    ports = {Adapter("/dev/ttyUSB0"), Adapter("/dev/ttyUSB1")};
    const std::string skipped = "\nSkipped COM10 (ttyUSB1): Locked (ttyUSB1) - in use by another program";
    InSettingsDialog(rig, [&](QDialog& dialog) {
        auto* find = dialog.findChild<QPushButton*>("FindBtn");
        const auto shown = [&] {
            return (dialog.findChild<QLabel*>("FindStatus")->text() + "|" + dialog.findChild<QComboBox*>("cboPort")->currentText() +
                    " " + dialog.findChild<QComboBox*>("cboBaud")->currentText()).toStdString();
        };
        find->click();
        EXPECT_EQ(shown(), "No KORVEN7 answered on any port at any baud rate. Check the cable, that the KORVEN7 has power, "
                           "and that no other program holds the port." + skipped + "|COM1 9600");
        ports.push_back(Adapter("/dev/ttyUSB2"));
        ports.push_back(Adapter("/dev/ttyUSB3"));
        rig.pump.waitEvents();
        rig.pump.at(rig.clock.nowUs() + 30'000, [&] { find->click(); });  // Stop, during the second question
        find->click();
        EXPECT_EQ(shown(), "Search stopped." + skipped + "|COM1 9600");
        find->click();  // the selected rate first, on every port
        EXPECT_EQ(shown(), "Found on COM12 (ttyUSB3) at 9600 baud: KORVEN7 V2.14. SAVE keeps this port and rate." +
                               skipped + "|COM12 9600");
        ports.pop_back();
        rig.pump.waitEvents();
        find->click();
        EXPECT_EQ(shown(), "Found on COM11 (ttyUSB2) at 19200 baud: KORVEN7 V2.14. SAVE keeps this port and rate." +
                               skipped + "|COM11 19.2k");
        dialog.findChild<QPushButton*>("ConfigSave")->click();
    });
    const std::string ini = rig.program.env.read("KORVEN7.ini");
    EXPECT_NE(ini.find("PORT=11\r\nBAUD=19200\r\n"), std::string::npos) << ini;
    EXPECT_EQ(rig.program.caption("CommLabel"), "COM11 (ttyUSB2)");
    std::string versionRequests;
    while (versionRequests.size() < rig.port.sent.size()) versionRequests += "/V";
    EXPECT_EQ(rig.port.sent, versionRequests);
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
    rig.program.click("VerifyBtn");
    auto& window = rig.program.qtWindow.qwindow();
    EXPECT_EQ(CutCaptions(window), std::vector<std::string>{});
    InSettingsDialog(rig, [&](QDialog& dialog) {
        EXPECT_EQ(CutCaptions(dialog), std::vector<std::string>{});
        QTest::keyClick(dialog.findChild<QPushButton*>("ConfigSave"), Qt::Key_Return);  // Enter presses no button
        QTest::keyClick(dialog.findChild<QComboBox*>("cboBaud"), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible() && dialog.findChild<QLabel*>("FindStatus")->text().isEmpty());
        dialog.reject();
    });
    InHistoryDialog(rig, [](QDialog& dialog, QListWidget&) {
        EXPECT_EQ(CutCaptions(dialog), std::vector<std::string>{});
        dialog.reject();
    });
    std::map<std::string, QAccessibleInterface*> tree;  // heard: the name, then the captions related to it
    AccessibleTree(QAccessible::queryAccessibleInterface(&window), tree);
    for (const auto& [control, heard] : std::map<std::string, std::string>{
             {"CommLabel", "COM2|PORT:|"}, {"BaudLabel", "57600|BAUD RATE:|"}, {"ParityLabel", "EVEN|PARITY:|"},
             {"CfgLabel", "None|CONFIG FILE:|"}, {"StringCount", "0|String Length|"}, {"PercentLabel", "100%|Progress|"},
             {"MatchString", "1 KORVEN7 strings FAILED to match list|"}, {"KbdKey", "Keyboard Key|Keyboard Key|"},
             {"SendKeys", "Send Strings To KORVEN7|"}, {"clrstat", "Clear Details before each operation|"}}) {
        ASSERT_TRUE(tree.count(control)) << control;
        std::string names = tree[control]->text(QAccessible::Name).toStdString() + "|";
        for (const auto& [label, relation] : tree[control]->relations(QAccessible::Label))
            names += label->text(QAccessible::Name).toStdString() + "|";
        EXPECT_TRUE(names.starts_with(heard)) << names;
    }
    window.show();
    const int wide = window.width(), log = rig.program.widget("StatusBox")->width();
    window.resize(wide * 3 / 4, window.height());
    EXPECT_NEAR(rig.program.widget("StatusBox")->width(), log - (wide - wide * 3 / 4), 1);
}

TEST(MainWindow, OnlyTheLeftButtonActsTheKeyFieldTakesOnlyKeysAndKeepsThemAndAllWorksFromTheKeyboard) {
    Rig rig;
    rig.window().keyStrings().replace({{"A", "x"}, {"B", "y"}});
    auto* list = rig.program.widget<QListWidget>("List1");
    auto* text = rig.program.widget<QLineEdit>("KeyString");
    text->setText("abc");
    list->setCurrentRow(0);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(rig.program.widget("Label12"), button);
        QTest::mouseDClick(list->viewport(), button, {}, list->visualItemRect(list->item(0)).center());
        QTest::mouseDClick(text, button);
    }
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, {5, list->viewport()->height() - 5});  // on no entry
    EXPECT_EQ(rig.program.list().size() + text->text().size(), 2u + 3u);
    QTest::mouseDClick(text, Qt::LeftButton);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(rig.program.list(), std::vector<std::string>{"B\ty"});
    QTest::keyClick(rig.program.widget("Label12"), Qt::Key_Space);
    EXPECT_EQ(rig.program.list().size() + text->text().size(), 0u);

    auto* key = rig.program.widget<QLineEdit>("KbdKey");  // dropped text, a menu to paste from, a modifier alone
    QTest::keyClick(key, Qt::Key_F2);
    QMimeData dropped;
    dropped.setText("Q");
    QDragEnterEvent drag({5, 5}, Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QDropEvent drop({5, 5}, Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QContextMenuEvent menu(QContextMenuEvent::Mouse, {5, 5}, key->mapToGlobal(QPoint(5, 5)));
    for (QEvent* event : std::initializer_list<QEvent*>{&drag, &drop, &menu}) QApplication::sendEvent(key, event);
    QTest::keyClick(key, Qt::Key_Alt);
    EXPECT_EQ(key->text(), "F2");
    EXPECT_FALSE(QApplication::activePopupWidget());
    for (const auto& [reason, shown] : std::map<Qt::FocusReason, QString>{
             {Qt::ActiveWindowFocusReason, "F1"}, {Qt::PopupFocusReason, "F1"}, {Qt::OtherFocusReason, "F1"},
             {Qt::MouseFocusReason, ""}, {Qt::TabFocusReason, ""}, {Qt::BacktabFocusReason, ""}}) {
        QTest::keyClick(key, Qt::Key_F1);
        QFocusEvent in(QEvent::FocusIn, reason);
        QApplication::sendEvent(key, &in);
        EXPECT_EQ(key->text(), shown) << reason;
    }
    key->setFocus();
    QTest::keyClick(key, Qt::Key_Tab, Qt::ControlModifier);  // leaves the key field, in which Tab is a key
    EXPECT_EQ(rig.program.qtWindow.qwindow().focusWidget(), text);
}

TEST(MainWindow, HelpShowsItsPageInFrontAndPrintingPutsTheListBesideTheLog) {
    Rig rig;
    rig.program.menu("VerifyOp");
    EXPECT_TRUE(rig.program.control("WebBrowser1").visible());
    EXPECT_EQ(dynamic_cast<HtmlView&>(rig.program.control("WebBrowser1")).location(),
              rig.program.env.path("KORVVerify.htm"));
    rig.program.click("Hclose");
    EXPECT_FALSE(rig.program.control("WebBrowser1").visible());

    rig.window().keyStrings().replace({{"A", "x"}});
    rig.program.click("GetVersionBtn");
    rig.program.menu("prscr");
    EXPECT_EQ(rig.program.printer.lines,
              (std::vector<std::string>{"A\tx" + std::string(31, ' ') + "\tRequesting Version",
                                        std::string(34, ' ') + "\tVersion = KORVEN7 V2.14\r\n"}));
    // Every row comes out; a printer that fails is a failure, not a cancel.
    rig.window().keyStrings().replace(std::vector<KeyString>(305, {"A", "x"}));
    rig.program.printer.failAfterLines = 306;  // after 304 rows of 305
    rig.program.menu("prscr");
    EXPECT_EQ(rig.program.printer.lines.size(), 306u);
    rig.program.printer.cancel = true;
    rig.program.menu("prscr");
    EXPECT_EQ(rig.program.dialogs.messages,
              (std::vector<std::string>{"Printing failed - Printer error", "Printing cancelled"}));
    EXPECT_EQ(rig.program.printer.documents, 2);
}

// ---- the key map ----

qt::KeyboardWidget* OpenKeyMap(Rig& rig) {
    rig.program.menu("KeyMap");
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
        auto* key = rig.program.widget<QLineEdit>("KbdKey");
        auto* text = rig.program.widget<QLineEdit>("KeyString");
        auto& picture = dynamic_cast<Picture&>(rig.program.control("MatchImage"));
        auto* map = OpenKeyMap(rig);
        if (onMap) ClickKey(map, "KP5");
        else QTest::keyClick(key, Qt::Key_Clear, Qt::KeypadModifier);  // keypad 5 with Num Lock off
        EXPECT_EQ(text->window()->focusWidget() == text, onMap);
        const auto shown = [&] { return picture.loadedPath().substr(picture.loadedPath().find_last_of('/') + 1); };
        std::vector<std::string> seen{key->text().toStdString(), text->text().toStdString(), shown()};
        QTest::keyClicks(text, "x");
        rig.program.click("AddToList");
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
    rig.program.click("VerifyBtn");
    EXPECT_EQ(rig.program.widget<QLineEdit>("KbdKey")->text(), "A");
}

TEST(KeyMap, MarksListedKeysAndWhatTheKeyboardAnsweredUntilTheListChanges) {
    Rig rig;
    auto& list = rig.window().keyStrings();
    list.add({"F1", "Hello{0D}"});
    list.add({"KP5", "x"});
    auto* map = OpenKeyMap(rig);
    EXPECT_EQ(DescribedKeys(map), (std::vector<std::string>{"F1: Hello{0D} | customised", "KP5: x | customised"}));
    ClickKey(map, "KP5", true);
    EXPECT_EQ(dynamic_cast<ListBox&>(rig.program.control("List1")).selectedIndex(), 1);

    auto image = Korven7Emulator::DefaultImage();
    image[0] = 'q';  // A
    rig.device.setFlash(image);
    rig.device.faults().silentRows = {1};  // B
    rig.program.click("VerifyBtn");
    EXPECT_EQ(DescribedKeys(map), (std::vector<std::string>{
                                      "F1: Hello{0D} | customised, different: the keyboard holds {F1}",
                                      "A | different: the keyboard holds q",
                                      "KP5: x | customised, different: the keyboard holds {D5}",
                                      "B | unknown: the keyboard did not answer"}));
    list.remove(1);
    EXPECT_EQ(DescribedKeys(map), std::vector<std::string>{"F1: Hello{0D} | customised"});
    rig.program.click("ReadKeys");
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
    auto* key = rig.program.widget<QLineEdit>("KbdKey");
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
