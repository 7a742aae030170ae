// Verifying the device against the list; the verdict pictures of every operation.
#include <gtest/gtest.h>

#include <filesystem>

#include "device_rig.h"

namespace k7::test {
namespace {

TEST(Verify, ComparesEveryKeyWithTheListOverTheDefaults) {
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> list;
        Slots device;  // slots changed from the defaults
        std::vector<std::string> failures;
    } cases[] = {
        {"defaults", {}, {}, {}},
        {"custom string held", {{"F1", "Hello"}}, {{54, "Hello"}}, {}},
        {"custom string missing", {{"F1", "Hello"}}, {},
         {"!FAILED!\tKey(54) F1  Readback String \xF1 <>  Hello"}},
        {"device string not in the list", {}, {{0, "zz"}}, {"!FAILED!\tKey(0) A  Readback String zz <>  a"}},
        {"longer than a slot", {{"B", "0123456789X"}}, {{1, "0123456789"}},
         {"!FAILED!\tKey(1) B  Readback String 0123456789 <>  0123456789X"}},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.device.setFlash(Flash(c.device));
        for (const auto& [legend, notation] : c.list) rig.addEntry(legend, notation);
        const auto listBefore = rig.list();
        rig.button("VerifyBtn").click();
        std::vector<std::string> failures;
        for (const auto& line : rig.log())
            if (line.rfind("!FAILED!", 0) == 0) failures.push_back(line);
        EXPECT_EQ(failures, c.failures) << c.name;
        const bool ok = c.failures.empty();
        const std::string verdict =
            ok ? "KORVEN7 strings VERIFIED!" : std::to_string(c.failures.size()) + " KORVEN7 strings FAILED to match list";
        EXPECT_EQ(rig.label("MatchString").caption(), verdict) << c.name;
        EXPECT_EQ(rig.log().back(), ok ? "KORVEN7 strings verified successfully against list" : verdict) << c.name;
        EXPECT_TRUE(Shows(rig, ok ? "checkmark.gif" : "question-mark.gif") && rig.label("MatchString").visible())
            << c.name;
        EXPECT_EQ(rig.list(), listBefore) << c.name;
        EXPECT_TRUE(Idle(rig)) << c.name;
        EXPECT_FALSE(rig.progress().visible()) << c.name;
    }
}

TEST(Verify, AKeySilentDuringTheVerifyFailsEvenRightAfterARead) {
    Rig rig;
    rig.button("ReadKeys").click();
    ASSERT_EQ(rig.label("MatchString").caption(), "KORVEN7 strings all DEFAULT");
    rig.device.faults().silentRows = {5};
    rig.button("VerifyBtn").click();
    EXPECT_TRUE(Logged(rig.log(), "!FAILED!\tKey(5) F Readback Scancode 0 <> 9 Readback String  <>  fReadback Legend  <> F"));
    EXPECT_EQ(rig.label("MatchString").caption(), "1 KORVEN7 strings FAILED to match list");
}

TEST(Verify, NoDeviceOrABadEntryLeavesTheCaptionWithoutAVerdict) {
    for (const bool silent : {true, false}) {
        Rig rig;
        rig.device.faults().silent = silent;
        if (!silent) rig.addEntry("F1", "{G1}");
        rig.button("VerifyBtn").click();
        EXPECT_EQ(rig.label("MatchString").caption(), "Readback/Verify KORVEN7 strings");
        EXPECT_FALSE(rig.picture().visible());
        EXPECT_TRUE(Idle(rig));
        if (silent) {
            EXPECT_TRUE(rig.label("MatchString").visible() && rig.progress().visible());
            EXPECT_EQ(rig.log().back(), "KORVEN7 not attached ???");
        } else {
            ASSERT_EQ(rig.dialogs.messages.size(), 1u);
            EXPECT_EQ(rig.dialogs.messages[0].rfind("Error retrieve current key overrides - ", 0), 0u);
        }
    }
}

TEST(Pictures, AMissingPictureEndsNoOperation) {
    const std::pair<const char*, std::string> cases[] = {
        {"ReadKeys", "KORVEN7 strings all DEFAULT"},
        {"VerifyBtn", "KORVEN7 strings VERIFIED!"},
        {"SendKeys", "KORVEN7 strings VERIFIED!"},
    };
    for (const auto& [button, verdict] : cases) {
        Rig rig;
        std::filesystem::remove(rig.env.path("checkmark.gif"));
        std::filesystem::remove(rig.env.path("question-mark.gif"));
        rig.button(button).click();
        EXPECT_EQ(rig.label("MatchString").caption(), verdict) << button;
        EXPECT_EQ(rig.picture().loadedPath(), "") << button;
        EXPECT_TRUE(rig.dialogs.messages.empty() && Idle(rig)) << button;
    }
}

}  // namespace
}  // namespace k7::test
