#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "support/rig.h"

namespace k7::test {
namespace {

const std::pair<const char*, const char*> kHelpItems[] = {
    {"OverView", "KORVOverView.htm"},      {"EnterKey", "KORVEnterKey.htm"}, {"CreateString", "KORVCreateString.htm"},
    {"VerifyOp", "KORVVerify.htm"},        {"Misc", "KORVReadStr.htm"},
};

TEST(HelpPane, EachHelpItemShowsItsPageOverTheWindow) {
    for (const auto& [item, page] : kHelpItems) {
        SCOPED_TRACE(item);
        Rig rig;
        rig.ui.fakeWindow().resize(11400, 8700);
        rig.menu(item).click();
        auto& pane = rig.ui.fake<FakeHtmlView>("WebBrowser1");
        EXPECT_TRUE(pane.visible());
        EXPECT_GT(pane.raised, 0);
        EXPECT_EQ(pane.geometry(), (Rect{150, 1500, 11100, 6200}));
        EXPECT_EQ(pane.location(), rig.env.path(page));
        EXPECT_TRUE(std::filesystem::exists(pane.location()));
        EXPECT_TRUE(rig.button("Hclose").visible());
        EXPECT_GT(rig.button("Hclose").raised, 0);
        EXPECT_EQ(rig.button("Hclose").geometry(), (Rect{9840, 1680, 1095, 375}));
    }
}

TEST(HelpPane, AnotherItemReplacesThePage) {
    Rig rig;
    rig.ui.fakeWindow().resize(11400, 8700);
    rig.menu("OverView").click();
    rig.menu("VerifyOp").click();
    auto& pane = rig.ui.fake<FakeHtmlView>("WebBrowser1");
    EXPECT_EQ(pane.location(), rig.env.path("KORVVerify.htm"));
    EXPECT_TRUE(pane.visible());
}

TEST(HelpPane, KeepsItsSizeWhenTheWindowResizesUntilShownAgain) {
    Rig rig;
    rig.ui.fakeWindow().resize(11400, 8700);
    rig.menu("EnterKey").click();
    auto& pane = rig.ui.fake<FakeHtmlView>("WebBrowser1");
    rig.ui.fakeWindow().resize(12900, 9700);
    EXPECT_EQ(pane.geometry(), (Rect{150, 1500, 11100, 6200}));
    rig.menu("EnterKey").click();
    EXPECT_EQ(pane.geometry(), (Rect{150, 1500, 12600, 7200}));
}

TEST(HelpPane, CloseButtonAndCloseItemBothHideIt) {
    for (bool byButton : {true, false}) {
        SCOPED_TRACE(byButton ? "Close Help button" : "Help, Close");
        Rig rig;
        rig.ui.fakeWindow().resize(11400, 8700);
        rig.menu("Misc").click();
        if (byButton) rig.button("Hclose").click();
        else rig.menu("CloseHelp").click();
        EXPECT_FALSE(rig.ui.fake<FakeHtmlView>("WebBrowser1").visible());
        EXPECT_FALSE(rig.button("Hclose").visible());
        // Closing again changes nothing.
        rig.menu("CloseHelp").click();
        EXPECT_FALSE(rig.ui.fake<FakeHtmlView>("WebBrowser1").visible());
        EXPECT_TRUE(rig.dialogs.messages.empty());
    }
}

TEST(HelpPages, EveryLinkLeadsToAPageBesideIt) {
    const std::filesystem::path folder = std::filesystem::path(K7_SOURCE_DIR) / "resources";
    const std::regex link(R"(href="([^"#]*)(#[^"]*)?")", std::regex::icase);
    for (const auto& [item, page] : kHelpItems) {
        SCOPED_TRACE(page);
        std::ifstream in(folder / page);
        ASSERT_TRUE(in);
        std::stringstream text;
        text << in.rdbuf();
        const std::string html = text.str();
        int links = 0;
        for (std::sregex_iterator it(html.begin(), html.end(), link), end; it != end; ++it) {
            const std::string target = (*it)[1];
            if (target.empty()) continue;
            EXPECT_TRUE(std::filesystem::exists(folder / target)) << target;
            ++links;
        }
        EXPECT_GE(links, 4) << "each page leads to the others";
    }
}

}  // namespace
}  // namespace k7::test
