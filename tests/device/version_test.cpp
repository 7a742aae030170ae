// The code-version query on virtual time.
#include <gtest/gtest.h>

#include "support/rig.h"

namespace k7::test {
namespace {

TEST(VersionQuery, ShowsTheReplyInTwoLinesAfterItArrived) {
    const struct {
        const char* name;
        bool clearOption;
        std::vector<std::pair<std::int64_t, std::string>> line;
        std::string version;
    } cases[] = {
        {"silent line, log kept", false, {}, "???"},
        {"reply untrimmed", true, {{210'000, "KORVEN7 V2.14\r\n"}}, "KORVEN7 V2.14\r\n"},
        {"another device", false, {{205'000, "OTHERKBD"}}, "OTHERKBD"},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.port.attach(nullptr);
        for (const auto& [at, bytes] : c.line) rig.port.arriveAt(at, bytes);
        rig.ui.fake<FakeCheckBox>("clrstat").setChecked(c.clearOption);
        rig.form->Add2Status("earlier line");
        rig.label("MatchString").setVisible(true);
        rig.picture().setVisible(true);
        rig.button("GetVersionBtn").click();
        EXPECT_EQ(rig.log(), (std::vector<std::string>{"Requesting Version", "Version = " + c.version})) << c.name;
        EXPECT_EQ(rig.port.sent, "/V") << c.name;
        // A pause of 200 ms, then one request at 9600 baud.
        EXPECT_EQ(rig.clock.nowMs(), 225) << c.name;
        EXPECT_FALSE(rig.port.isOpen()) << c.name;
        EXPECT_FALSE(rig.label("MatchString").visible()) << c.name;
        EXPECT_FALSE(rig.picture().visible()) << c.name;
        EXPECT_TRUE(rig.button("GetVersionBtn").enabled()) << c.name;
    }
}

TEST(VersionQuery, APortThatCannotBeOpenedGivesItsMessageAndAnEmptyVersion) {
    Rig rig;
    rig.port.failOpen = "Port is in use";
    rig.button("GetVersionBtn").click();
    EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{"Error getting code version. Port is in use"});
    EXPECT_EQ(rig.log(), (std::vector<std::string>{"Requesting Version", "Version = "}));
}

}  // namespace
}  // namespace k7::test
