#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "support/rig.h"

namespace k7::test {
namespace {

const std::pair<const char*, const char*> kHelpItems[] = {
    {"OverView", "KORVOverView.htm"}, {"EnterKey", "KORVEnterKey.htm"}, {"CreateString", "KORVCreateString.htm"},
    {"VerifyOp", "KORVVerify.htm"},   {"Misc", "KORVReadStr.htm"},
};

struct HelpRig : Rig {
    HelpRig() { ui.fakeWindow().resize(11400, 8700); }
    FakeHtmlView& pane() { return ui.fake<FakeHtmlView>("WebBrowser1"); }
};

TEST(HelpPane, EachItemShowsItsPageInFrontReplacingThePreviousOne) {
    HelpRig rig;
    for (const auto& [item, page] : kHelpItems) {
        SCOPED_TRACE(item);
        const int raisedBefore = rig.pane().raised, closeRaisedBefore = rig.button("Hclose").raised;
        rig.menu(item).click();
        EXPECT_TRUE(rig.pane().visible() && rig.button("Hclose").visible());
        EXPECT_GT(rig.pane().raised, raisedBefore);
        EXPECT_GT(rig.button("Hclose").raised, closeRaisedBefore);
        EXPECT_EQ(rig.pane().geometry(), (Rect{150, 1500, 11100, 6200}));
        EXPECT_EQ(rig.button("Hclose").geometry(), (Rect{9840, 1680, 1095, 375}));
        EXPECT_EQ(rig.pane().location(), rig.env.path(page));
        EXPECT_TRUE(std::filesystem::exists(rig.pane().location()));
    }
}

TEST(HelpPane, KeepsItsSizeWhenTheWindowResizesUntilShownAgain) {
    HelpRig rig;
    rig.menu("EnterKey").click();
    rig.ui.fakeWindow().resize(12900, 9700);
    EXPECT_EQ(rig.pane().geometry(), (Rect{150, 1500, 11100, 6200}));
    rig.menu("EnterKey").click();
    EXPECT_EQ(rig.pane().geometry(), (Rect{150, 1500, 12600, 7200}));
}

TEST(HelpPane, CloseButtonAndCloseItemBothHideIt) {
    for (bool byButton : {true, false}) {
        HelpRig rig;
        rig.menu("Misc").click();
        if (byButton) rig.button("Hclose").click();
        else rig.menu("CloseHelp").click();
        rig.menu("CloseHelp").click();  // closing again changes nothing
        EXPECT_FALSE(rig.pane().visible()) << byButton;
        EXPECT_FALSE(rig.button("Hclose").visible()) << byButton;
        EXPECT_TRUE(rig.dialogs.messages.empty());
    }
}

TEST(HelpPages, EveryLinkLeadsToAPageBesideIt) {
    const std::filesystem::path folder = std::filesystem::path(K7_SOURCE_DIR) / "resources";
    const std::regex link(R"(href="([^"#]*)(#[^"]*)?")", std::regex::icase);
    for (const auto& [item, page] : kHelpItems) {
        std::stringstream text;
        text << std::ifstream(folder / page).rdbuf();
        const std::string html = text.str();
        int links = 0;
        for (std::sregex_iterator it(html.begin(), html.end(), link), end; it != end; ++it) {
            const std::string target = (*it)[1];
            if (target.empty()) continue;
            EXPECT_TRUE(std::filesystem::exists(folder / target)) << page << ": " << target;
            ++links;
        }
        EXPECT_GE(links, 4) << page << " leads to the others";
    }
}

}  // namespace
}  // namespace k7::test
