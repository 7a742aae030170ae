// The help pane and the settings dialog on real widgets. With K7_SCREENSHOT_DIR set and
// an X server (xvfb-run, QT_QPA_PLATFORM=xcb), each test also saves a screenshot there.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <cstdlib>

#include "qtsupport/qt_app.h"

namespace k7::test {
namespace {

void Screenshot(const std::string& name) {
    const char* folder = std::getenv("K7_SCREENSHOT_DIR");
    if (!folder) return;
    QtRig::Pump(500);
    const std::string command = "import -window root '" + std::string(folder) + "/" + name + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

void FillWindow(QtRig& rig) {
    rig.form->List1.addItem("F1\tHello{0D}");
    rig.form->List1.addItem("KPins\t{1B}[2~");
    rig.form->Add2Status("KORVEN7 device is attached");
    rig.form->Add2Status("KORVEN7 strings verified successfully against list");
}

// True when the widget seen at the point is `w` or one of its children.
bool OnTop(QWidget* w, QPoint point) {
    QWidget* seen = w->parentWidget()->childAt(point);
    return seen == w || w->isAncestorOf(seen);
}

TEST(RealHelpPane, EachPageShowsInFrontOfTheWindowAndLinksWork) {
    const std::pair<const char*, const char*> items[] = {
        {"OverView", "Overview"},
        {"EnterKey", "Entering Keyboard Keys"},
        {"CreateString", "Creating Output Strings"},
        {"VerifyOp", "Sending and Verifying"},
        {"Misc", "Reading Strings"},
    };
    QtRig rig;
    FillWindow(rig);
    auto* browser = qobject_cast<QTextBrowser*>(rig.widget("WebBrowser1"));
    QWidget* hclose = rig.widget("Hclose");
    ASSERT_NE(browser, nullptr);
    for (const auto& [item, title] : items) {
        SCOPED_TRACE(item);
        rig.real->platform().ui.menu(item).onClick();
        QtRig::Pump(30);
        ASSERT_TRUE(browser->isVisible());
        EXPECT_EQ(browser->documentTitle().toStdString(), std::string("KORVEN7 CONFIG - ") + title);
        EXPECT_GT(browser->toPlainText().size(), 500);
        EXPECT_TRUE(OnTop(browser, browser->geometry().center()));
        EXPECT_TRUE(OnTop(browser, browser->geometry().topLeft() + QPoint(20, 20)));
        EXPECT_TRUE(hclose->isVisible());
        EXPECT_TRUE(OnTop(hclose, hclose->geometry().center()));
        Screenshot(std::string("help-") + item + ".png");
    }
    // A link inside a page leads to the page it names.
    browser->setSource(QUrl("KORVCreateString.htm"));
    EXPECT_EQ(browser->documentTitle().toStdString(), "KORVEN7 CONFIG - Creating Output Strings");

    qobject_cast<QPushButton*>(hclose)->click();
    EXPECT_FALSE(browser->isVisible());
    EXPECT_FALSE(hclose->isVisible());
}

TEST(RealSettingsDialog, ShowsTheSettingsAndSaveStoresTheChoice) {
    QtRig rig("[COMSETTINGS]\r\nPORT=3\r\nBAUD=19200\r\nPARITY=E\r\n");
    FillWindow(rig);
    std::string shown;
    QTimer::singleShot(200, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle().toStdString(), "Configuration");
        auto* port = dialog->findChild<QComboBox*>("cboPort");
        auto* baud = dialog->findChild<QComboBox*>("cboBaud");
        auto* parity = dialog->findChild<QComboBox*>("cboParity");
        ASSERT_TRUE(port && baud && parity);
        shown = (port->currentText() + " " + baud->currentText() + " " + parity->currentText()).toStdString();
        Screenshot("settings-dialog.png");
        baud->setCurrentIndex(5);
        parity->setCurrentIndex(2);
        dialog->findChild<QPushButton*>("ConfigSave")->click();
    });
    // Whatever happens above, the dialog does not stay open for ever.
    QTimer::singleShot(10000, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    rig.real->platform().ui.menu("Config").onClick();
    EXPECT_EQ(shown, "COM3 19.2k EVEN");
    EXPECT_EQ(rig.env.read("KORVEN7.ini"),
              "[COMSETTINGS]\r\nPORT=3\r\nBAUD=57600\r\nPARITY=O\r\n[GENERAL]\r\nENABLESTRINGS=0\r\n");
    EXPECT_EQ(rig.form->BaudLabel.caption(), "57600");
    EXPECT_EQ(rig.form->ParityLabel.caption(), "ODD");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace k7::test
