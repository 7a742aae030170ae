// The device operations end to end: the real main window offscreen, the real serial
// port on a pseudo-terminal, and korven7-sim on the other end at 57600 baud.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <algorithm>

#include "qtsupport/qt_app.h"
#include "support/sim_process.h"

namespace k7::test {
namespace {

std::vector<std::string> Items(const ListBox& box) {
    std::vector<std::string> items;
    for (int i = 0; i < box.count(); ++i) items.push_back(box.item(i));
    return items;
}

struct SimRig {
    SimRig() { static_cast<QCheckBox*>(rig.widget("clrstat"))->setChecked(false); }
    void click(const char* button) { static_cast<QPushButton*>(rig.widget(button))->click(); }
    std::vector<std::string> log() const { return Items(rig.form->StatusBox); }
    int count(const std::string& prefix) const {
        const auto lines = log();
        return int(std::count_if(lines.begin(), lines.end(), [&](const auto& l) { return l.rfind(prefix, 0) == 0; }));
    }
    SimProcess sim{57600};
    QtRig rig{sim.settingsFile()};
};

TEST(DeviceEndToEnd, VersionQueryShowsTheEmulatorsTextAndNothingOnceItStops) {
    SimRig s;
    s.click("GetVersionBtn");
    EXPECT_EQ(s.log(), (std::vector<std::string>{"Requesting Version", "Version = KORVEN7 V2.14\r\n"}));
    s.sim.pause();
    s.click("GetVersionBtn");
    EXPECT_EQ(s.log().back(), "Version = ???");
    s.click("VerifyBtn");
    EXPECT_EQ(s.log().back(), "KORVEN7 not attached ???");
    EXPECT_TRUE(s.rig.dialogs.messages.empty());
    EXPECT_TRUE(s.rig.widget("VerifyBtn")->isEnabled());
}

TEST(DeviceEndToEnd, SendVerifiesAndTheStringsReadBack) {
    SimRig s;
    for (const char* entry : {"F1\tHello", "A\t{C7}x", "M\tMNOPQRSTUV"}) s.rig.form->List1.addItem(entry);
    s.click("SendKeys");
    EXPECT_EQ(s.count("SENT:/E{9}{AA}{55}{AA}{55}{0}{7B}"), 1);
    EXPECT_EQ(s.count("SENT:{"), 109);
    EXPECT_EQ(s.count("RECVD:ACK"), 118);
    EXPECT_EQ(s.count("Flashing 128 bytes. BLOCK "), 8);
    EXPECT_EQ(s.count("No ACK") + s.count("!FAILED!"), 0);
    EXPECT_EQ(s.log().back(), "KORVEN7 strings verified successfully against list");
    EXPECT_EQ(s.rig.form->MatchString.caption(), "KORVEN7 strings VERIFIED!");
    EXPECT_FALSE(s.rig.form->MSComm1.isOpen());

    s.rig.form->List1.clear();
    s.click("ReadKeys");
    EXPECT_EQ(Items(s.rig.form->List1), (std::vector<std::string>{"A\t{C7}x", "M\tMNOPQRSTUV", "F1\tHello"}));
    EXPECT_EQ(s.log().back(), "3 KORVEN7 contains 3 custom strings");
    EXPECT_EQ(s.count("!NO REPLY!"), 0);
    EXPECT_EQ(s.rig.form->MatchString.caption(), "3 Custom strings found in KORVEN7 ");
    EXPECT_TRUE(s.rig.dialogs.messages.empty());
}

}  // namespace
}  // namespace k7::test
