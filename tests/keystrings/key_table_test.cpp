#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "keystrings/key_table.h"

namespace k7 {
namespace {

// Rows 36-95: row, scancode, legend ("-" for none; "\" is the backslash), default byte.
constexpr const char* kRows = R"(
36 28 ENTER 0D   37 29 ESC 1B    38 2A BKSPC 08  39 2B TAB 09    40 2C SPACE 20
41 2D - 2D       42 2E = 3D      43 2F [ 5B      44 30 ] 5D      45 31 \ 5C
46 32 none --    47 33 ; 3B      48 34 ' 27      49 35 ` 60      50 36 , 2C
51 37 . 2E       52 38 / 2F      53 39 none --   54 3A F1 F1     55 3B F2 F2
56 3C F3 F3      57 3D F4 F4     58 3E F5 F5     59 3F F6 F6     60 40 F7 F7
61 41 F8 F8      62 42 F9 F9     63 43 F10 FA    64 44 F11 FB    65 45 F12 FC
66 46 PRTSCN FD  67 47 SCRLK FE  68 48 PAUSE FF  69 49 INS C0    70 4A HOME C1
71 4B PGUP C2    72 4C DEL C3    73 4D END C4    74 4E PGDN C5   75 4F RTAR DD
76 50 LFTAR DB   77 51 DNAR DC   78 52 UPAR DA   79 53 none --   80 54 KP/ C6
81 55 KP* C7     82 56 KP- C8    83 57 KP+ C9    84 58 KPENT CA  85 59 KPend D1
86 5A KPdnar D2  87 5B KPpgdn D3 88 5C KPlfar D4 89 5D KP5 D5    90 5E KPrtar D6
91 5F KPhome D7  92 60 KPupar D8 93 61 KPpgup D9 94 62 KPins D0  95 63 KPdel DE
)";

KeyTableArray Built() {
    KeyTableArray table;
    BuildKeyTable(table);
    return table;
}

TEST(KeyTable, HoldsEveryKeyWithItsDefaultAndRebuildingRestoresThem) {
    KeyTableArray table = Built();
    table[0].Output = "Hello";
    table[99].Output = "x";
    BuildKeyTable(table);
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890", outputs = "abcdefghijklmnopqrstuvwxyz1234567890";
    for (int row = 0; row < 36; ++row) {
        EXPECT_EQ(table[row].Scancode, row + 4);
        EXPECT_EQ(table[row].Legend, letters.substr(row, 1));
        EXPECT_EQ(table[row].Output, outputs.substr(row, 1));
    }
    std::istringstream rows(kRows);
    int row = 0, count = 0;
    std::string scancode, legend, output;
    while (rows >> row >> scancode >> legend >> output) {
        ++count;
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ(table[row].Scancode, std::stoi(scancode, nullptr, 16));
        EXPECT_EQ(table[row].Legend, legend == "none" ? "" : legend);
        EXPECT_EQ(table[row].Output, output == "--" ? "" : std::string(1, char(std::stoi(output, nullptr, 16))));
    }
    EXPECT_EQ(count, 60);
    for (int r = 96; r < kTableRows; ++r)
        EXPECT_EQ(std::to_string(table[r].Scancode) + table[r].Legend + table[r].Output, "0NOTUSED") << r;
}

TEST(KeyTable, FindsRowsByExactLegendAmongTheConfigurableKeys) {
    const KeyTableArray table = Built();
    const std::pair<const char*, int> found[] = {{"KPins", 94}, {"kpins", -1}, {"a", -1}, {"NOTUSED", -1}, {"", 46}, {"0", 35}};
    for (const auto& [legend, row] : found) EXPECT_EQ(FindKeyRow(table, legend), row) << legend;
    EXPECT_EQ(RowOfScancode(0x04), 0);
    EXPECT_EQ(RowOfScancode(0x63), 95);
    EXPECT_EQ(table[RowOfScancode(0x64)].Legend, "NOTUSED");
    EXPECT_EQ(table[RowOfScancode(0x6A)].Legend, "NOTUSED");
}

std::vector<std::string> Legends(std::initializer_list<int> keys) {
    KeyLegendState state;
    std::vector<std::string> legends;
    for (int k : keys) legends.push_back(GetKeyLegend(state, k));
    return legends;
}

TEST(KeyLegend, PressingAKeyAgainPicksTheOtherCopy) {
    using L = std::vector<std::string>;
    constexpr int Insert = 0x2D, Home = 0x24, Enter = 0x0D, Tab = 0x09;
    EXPECT_EQ(Legends({Insert, Insert, Insert}), (L{"KPins", "INS", "KPins"}));
    EXPECT_EQ(Legends({Insert, 'A', Insert}), (L{"KPins", "A", "INS"}));
    EXPECT_EQ(Legends({Insert, Home, Insert}), (L{"KPins", "KPhome", "KPins"}));
    EXPECT_EQ(Legends({Enter, Enter, Enter}), (L{"ENTER", "KPENT", "ENTER"}));
    EXPECT_EQ(Legends({Enter, '7', Enter}), (L{"ENTER", "7", "KPENT"}));
    EXPECT_EQ(Legends({Enter, Tab, Enter}), (L{"ENTER", "TAB", "ENTER"}));
    EXPECT_EQ(Legends({0x28, 0x28, 0x26, 0x26, 0x0C}), (L{"KPdnar", "DNAR", "KPupar", "UPAR", "KP5"}));
    EXPECT_EQ(Legends({0x10, 0x11, 0x14, 0x90, 0x60, 0x69, 0x2C, 0xFF}), L(8, ""));
    EXPECT_EQ(Legends({0x70, 0x7B, 0x2A, 0x91, 0x13, 0x6E, 0xDC, 0x5A, 0x30}),
              (L{"F1", "F12", "PRTSCN", "SCRLK", "PAUSE", "KPdel", "\\", "Z", "0"}));
}

TEST(KeyLegend, EveryLegendNamesExactlyOneConfigurableKeyAndEveryKeyCanBeNamed) {
    const KeyTableArray table = Built();
    std::set<std::string> named;
    for (int k = 0; k < 0x10000; ++k) {
        KeyLegendState state;
        for (int presses = 0; presses < 2; ++presses)
            if (std::string legend = GetKeyLegend(state, k); !legend.empty()) named.insert(legend);
    }
    std::set<std::string> legends;
    for (int r = 0; r < kKeyRows; ++r) {
        if (table[r].Legend.empty()) continue;
        EXPECT_TRUE(legends.insert(table[r].Legend).second) << "twice: " << table[r].Legend;
    }
    EXPECT_EQ(named, legends);
}

}  // namespace
}  // namespace k7
