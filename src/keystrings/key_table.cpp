#include "keystrings/key_table.h"

namespace k7 {
namespace {

struct FixedKey {
    const char* legend;
    int output;  // default byte; -1 for none
};

// Rows 36-95 in row order (scancodes 0x28-0x63).
constexpr FixedKey kFixedKeys[] = {
    {"ENTER", 0x0D}, {"ESC", 0x1B},  {"BKSPC", 0x08}, {"TAB", 0x09},   {"SPACE", 0x20},
    {"-", 0x2D},     {"=", 0x3D},    {"[", 0x5B},     {"]", 0x5D},     {"\\", 0x5C},
    {"", -1},        {";", 0x3B},    {"'", 0x27},     {"`", 0x60},     {",", 0x2C},
    {".", 0x2E},     {"/", 0x2F},    {"", -1},        {"F1", 0xF1},    {"F2", 0xF2},
    {"F3", 0xF3},    {"F4", 0xF4},   {"F5", 0xF5},    {"F6", 0xF6},    {"F7", 0xF7},
    {"F8", 0xF8},    {"F9", 0xF9},   {"F10", 0xFA},   {"F11", 0xFB},   {"F12", 0xFC},
    {"PRTSCN", 0xFD}, {"SCRLK", 0xFE}, {"PAUSE", 0xFF}, {"INS", 0xC0},  {"HOME", 0xC1},
    {"PGUP", 0xC2},  {"DEL", 0xC3},  {"END", 0xC4},   {"PGDN", 0xC5},  {"RTAR", 0xDD},
    {"LFTAR", 0xDB}, {"DNAR", 0xDC}, {"UPAR", 0xDA},  {"", -1},        {"KP/", 0xC6},
    {"KP*", 0xC7},   {"KP-", 0xC8},  {"KP+", 0xC9},   {"KPENT", 0xCA}, {"KPend", 0xD1},
    {"KPdnar", 0xD2}, {"KPpgdn", 0xD3}, {"KPlfar", 0xD4}, {"KP5", 0xD5}, {"KPrtar", 0xD6},
    {"KPhome", 0xD7}, {"KPupar", 0xD8}, {"KPpgup", 0xD9}, {"KPins", 0xD0}, {"KPdel", 0xDE},
};
static_assert(std::size(kFixedKeys) == kKeyRows - 36);

// Keys that exist twice, grey and on the keypad with Num Lock off.
struct PairedKey {
    int keyCode;
    const char* grey;
    const char* keypad;
};
constexpr PairedKey kPairedKeys[] = {
    {0x2D, "INS", "KPins"},  {0x24, "HOME", "KPhome"}, {0x21, "PGUP", "KPpgup"},
    {0x22, "PGDN", "KPpgdn"}, {0x2E, "DEL", "KPdel"},  {0x23, "END", "KPend"},
    {0x26, "UPAR", "KPupar"}, {0x25, "LFTAR", "KPlfar"}, {0x28, "DNAR", "KPdnar"},
    {0x27, "RTAR", "KPrtar"},
};

struct SingleKey {
    int keyCode;
    const char* legend;
};
constexpr SingleKey kSingleKeys[] = {
    {0x08, "BKSPC"}, {0x09, "TAB"},   {0x0C, "KP5"},    {0x0D, "ENTER"}, {0x13, "PAUSE"},
    {0x1B, "ESC"},   {0x20, "SPACE"}, {0x2A, "PRTSCN"}, {0x91, "SCRLK"}, {0x6A, "KP*"},
    {0x6B, "KP+"},   {0x6C, "KPENT"}, {0x6D, "KP-"},    {0x6E, "KPdel"}, {0x6F, "KP/"},
    {0xBA, ";"},     {0xBB, "="},     {0xBC, ","},      {0xBD, "-"},     {0xBE, "."},
    {0xBF, "/"},     {0xC0, "`"},     {0xDB, "["},      {0xDC, "\\"},    {0xDD, "]"},
    {0xDE, "'"},
};

constexpr int kReturn = 0x0D;
constexpr int kSeparator = 0x6C;

}  // namespace

void BuildKeyTable(KeyTableArray& table) {
    for (int row = 0; row < 26; ++row)
        table[row] = {std::uint8_t(row + 4), std::string(1, char('a' + row)), std::string(1, char('A' + row))};
    for (int row = 26; row < 36; ++row) {
        const char digit = row == 35 ? '0' : char('1' + row - 26);
        table[row] = {std::uint8_t(row + 4), std::string(1, digit), std::string(1, digit)};
    }
    for (int row = 36; row < kKeyRows; ++row) {
        const FixedKey& key = kFixedKeys[row - 36];
        table[row] = {std::uint8_t(row + 4), key.output < 0 ? std::string() : std::string(1, char(key.output)),
                      key.legend};
    }
    for (int row = kKeyRows; row < kTableRows; ++row) table[row] = {0, std::string(), "NOTUSED"};
}

int FindKeyRow(const KeyTableArray& table, const std::string& legend) {
    for (int row = 0; row < kKeyRows; ++row)
        if (table[row].Legend == legend) return row;
    return -1;
}

std::string GetKeyLegend(KeyLegendState& state, int k) {
    if ((k >= 0x30 && k <= 0x39) || (k >= 0x41 && k <= 0x5A)) return std::string(1, char(k));

    if (k == state.LastKeyCode) state.PairToggle = state.PairToggle == 0 ? -1 : 0;

    if (k == kReturn) {
        state.EnterCount = std::int16_t(state.EnterCount + 1);
        if (state.EnterCount >= 2) {
            k = kSeparator;
            state.EnterCount = 0;
        }
    } else {
        state.EnterCount = 0;
    }

    std::string legend;
    for (const auto& key : kSingleKeys)
        if (key.keyCode == k) legend = key.legend;
    if (k >= 0x70 && k <= 0x7B) legend = "F" + std::to_string(k - 0x70 + 1);
    for (const auto& key : kPairedKeys)
        if (key.keyCode == k)
            legend = (state.LastKeyCode == k && state.PairToggle == -1) ? key.grey : key.keypad;

    if (state.LastKeyCode != k) state.PairToggle = 0;
    state.LastKeyCode = std::int16_t(k);
    return legend;
}

}  // namespace k7
