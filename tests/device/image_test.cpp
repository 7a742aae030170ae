// The list laid over the key table, and the image bytes that follow from the table.
#include <gtest/gtest.h>

#include "device/image.h"
#include "platform/runtime_error.h"
#include "support/rig.h"

namespace k7::test {
namespace {

std::string Slot(const KeyTableArray& table, int row) {
    std::string slot;
    for (int i = 0; i < kSlotSize; ++i) slot += ImageByte(table, row * kSlotSize + i);
    return slot;
}

TEST(Image, SlotsHoldTenBytesAndTheLastSlotIsCutToFour) {
    KeyTableArray table;
    BuildKeyTable(table);
    table[0].Output = "0123456789";
    table[1].Output = "0123456789AB";  // longer than a slot: cut
    table[102].Output = "WXYZQ";
    EXPECT_EQ(Slot(table, 0), "0123456789");
    EXPECT_EQ(Slot(table, 1), "0123456789");
    EXPECT_EQ(Slot(table, 2), std::string("c") + std::string(9, '\0'));
    EXPECT_EQ(Slot(table, 46), std::string(10, '\0'));   // a key without a default
    EXPECT_EQ(Slot(table, 54), std::string("\xF1") + std::string(9, '\0'));
    EXPECT_EQ(ImageByte(table, 1020), 'W');
    EXPECT_EQ(ImageByte(table, 1023), 'Z');  // the image ends inside slot 102
}

TEST(ApplyList, LaysEachEntryOverTheRowWithItsLegend) {
    const struct {
        const char* name;
        std::vector<std::string> entries;
        std::map<int, std::string> changed;  // row -> Output; every other row keeps its default
    } cases[] = {
        {"empty list", {}, {}},
        {"brace group and letter", {"A\t{C7}x"}, {{0, "\xC7x"}}},
        {"later entry wins", {"F1\tone", "F1\ttwo"}, {{54, "two"}}},
        {"legends are case-sensitive", {"a\tzz"}, {}},
        {"placeholder legend is ignored", {"NOTUSED\tzz"}, {}},
        {"empty legend sets the first key without one", {"\tzz"}, {{46, "zz"}}},
        {"tabs after the first belong to the string", {"B\tx\ty"}, {{1, "x\ty"}}},
        {"a zero byte from a file", {"D\tx{00}y"}, {{3, std::string("x\0y", 3)}}},
    };
    for (const auto& c : cases) {
        Rig rig;
        for (const auto& e : c.entries) rig.listBox("List1").addItem(e);
        KeyTableArray expected;
        BuildKeyTable(expected);
        for (const auto& [row, output] : c.changed) expected[std::size_t(row)].Output = output;
        rig.form->ApplyListToKeyTable();
        for (int row = 0; row < kTableRows; ++row)
            EXPECT_EQ(rig.form->KeyTable[std::size_t(row)].Output, expected[std::size_t(row)].Output)
                << c.name << ", row " << row;
    }
}

TEST(ApplyList, AnEntryThatCannotBeDecodedRaisesAnError) {
    for (const char* entry : {"A without a tab", "A\t{G1}", "A\t{}", "A\t{100}"}) {
        Rig rig;
        rig.listBox("List1").addItem(entry);
        EXPECT_THROW(rig.form->ApplyListToKeyTable(), RuntimeError) << entry;
    }
}

}  // namespace
}  // namespace k7::test
