#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "platform/runtime_error.h"
#include "support/rig.h"

namespace k7::test {
namespace {

const std::string kEmptyGroup = "brackets must contain HEX value of a character";
const std::string kNullGroup = "brackets cannot contain 00 (NULL) which is used for end-of-string marker";
const std::string kTooLong = "String entered for item #  is too long .. max string length is 10 chars";
std::string BadGroup(const std::string& group) {
    return group + " only 2 HEX chars allowed within brackets (like {C7})";
}

struct Field {
    Rig rig;
    FakeTextBox& text = rig.textBox("KeyString");
    std::string count() { return rig.label("StringCount").caption(); }
    int braceState() { return rig.form->BraceState; }
};

TEST(CheckKeyString, CountsUnitsAndCorrectsEveryFault) {
    const struct {
        std::string entered;
        std::vector<std::string> messages;
        std::string kept;
        std::string count;
        int braceState;
    } cases[] = {
        {"AB{0D}", {}, "AB{0D}", "3", 0},
        {"}", {}, "}", "1", 0},
        {"\x01\xFF\t", {}, "\x01\xFF\t", "3", 0},
        {"AB{C", {}, "AB{C", "2", 1},
        {"ABC{", {}, "ABC{", "3", 1},
        {"ABCDEFGHIJ{4", {}, "ABCDEFGHIJ{4", "10", 1},
        {"ABCDEFGHIJ", {}, "ABCDEFGHIJ", "10", 0},
        {"ABCDEFGHIJK", {kTooLong}, "ABCDEFGHIJ", "10", 0},
        {"123456789{41}{42}", {kTooLong}, "123456789{41}", "10", 0},
        {"ABCDEFGHIJ{41}", {kTooLong}, "ABCDEFGHIJ", "10", 0},
        {"{c7}", {BadGroup("{c7}")}, "{", "0", 1},
        {"{1,}", {BadGroup("{1,}")}, "{", "0", 1},
        {"X{123}Y", {BadGroup("{123}Y")}, "X{", "1", 1},
        {"AB{41}{G", {BadGroup("{G")}, "AB{41}{", "3", 1},
        {"{41}{00}", {kNullGroup}, "{41}{", "1", 1},
        {"{41}{0}", {kNullGroup}, "{41}{", "1", 1},
        {"{41}{}", {kEmptyGroup}, "{41}{", "1", 1},
        // Corrections cut from the end, so a fault early in the text is met again
        // and again until the text no longer reaches it.
        {"{}ABC", {kEmptyGroup, kEmptyGroup, kEmptyGroup, kEmptyGroup}, "{", "0", 1},
        {"{0}AB", {kNullGroup, kNullGroup}, "{", "0", 1},
        {"ABCDEFGHIJ{}K", {kEmptyGroup, kEmptyGroup}, "ABCDEFGHIJ{", "10", 1},
        {"ABCDEFGHIJKL{00}", {kNullGroup, kTooLong}, "ABCDEFGHIJ", "10", 0},
    };
    for (const auto& c : cases) {
        Field f;
        f.text.setText(c.entered);
        EXPECT_EQ(f.rig.dialogs.messages, c.messages) << c.entered;
        EXPECT_EQ(f.text.text(), c.kept) << c.entered;
        EXPECT_EQ(f.count(), c.count) << c.entered;
        EXPECT_EQ(f.braceState(), c.braceState) << c.entered;
    }
}

TEST(CheckKeyString, TypingUpperCasesInsideBracesShowsTheQuestionMarkAndDoubleClickClears) {
    Field f;
    f.rig.form->LoadMatchPicture("checkmark.gif");
    f.rig.label("MatchString").setCaption("Verified OK");
    f.text.type("a{c");
    EXPECT_EQ(f.text.text(), "a{C");
    EXPECT_EQ(f.rig.picture().loadedPath(), f.rig.env.path("question-mark.gif"));
    EXPECT_EQ(f.rig.label("MatchString").caption(), "Verified OK");
    f.text.type("7}c{0d}");
    EXPECT_EQ(f.text.text(), "a{C7}c{0D}");
    EXPECT_EQ(f.count(), "4");
    EXPECT_TRUE(f.rig.dialogs.messages.empty());
    f.text.type("{g");  // upper case, still not a hexadecimal digit
    EXPECT_EQ(f.rig.dialogs.messages, std::vector<std::string>{BadGroup("{G")});
    EXPECT_EQ(f.text.text(), "a{C7}c{0D}{");

    f.text.doubleClick();
    EXPECT_EQ(f.text.text(), "");
    EXPECT_EQ(f.count(), "0");
    std::filesystem::remove(f.rig.env.path("question-mark.gif"));  // a missing picture ends nothing
    f.text.type("xy");
    EXPECT_EQ(f.text.text(), "xy");
    EXPECT_EQ(f.rig.picture().loadedPath(), "");
    EXPECT_EQ(f.braceState(), 0);
}

TEST(CheckKeyString, AnyOtherFailureIsReportedAndLeavesTheText) {
    Field f;
    bool failed = false;
    f.rig.dialogs.onMessage = [&](const std::string&) {
        if (!std::exchange(failed, true)) throw RuntimeError("Out of memory");
    };
    f.text.setText("{}");
    EXPECT_EQ(f.rig.dialogs.messages,
              (std::vector<std::string>{kEmptyGroup, "Error parsing string ..Out of memory"}));
    EXPECT_EQ(f.text.text(), "{}");
    EXPECT_EQ(f.braceState(), 1);
}

TEST(AsciiIt, ProcessesEventsAfterEveryCharacterAndReportsBadGroups) {
    Rig rig;
    const int before = rig.pump.doEventsCalls;
    EXPECT_EQ(rig.form->ASCIIit("{41}x{7F}", 0), "Ax{7F}");
    EXPECT_EQ(rig.pump.doEventsCalls - before, 9);
    EXPECT_TRUE(rig.dialogs.messages.empty());

    EXPECT_EQ(rig.form->ASCIIit("12345678{G1}", 8), "");
    EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{"Error in ASCIIit Type mismatch"});
}

}  // namespace
}  // namespace k7::test
