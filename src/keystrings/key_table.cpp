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
    {"NONUS#", -1},  {";", 0x3B},    {"'", 0x27},     {"`", 0x60},     {",", 0x2C},
    {".", 0x2E},     {"/", 0x2F},    {"CAPSLK", -1},  {"F1", 0xF1},    {"F2", 0xF2},
    {"F3", 0xF3},    {"F4", 0xF4},   {"F5", 0xF5},    {"F6", 0xF6},    {"F7", 0xF7},
    {"F8", 0xF8},    {"F9", 0xF9},   {"F10", 0xFA},   {"F11", 0xFB},   {"F12", 0xFC},
    {"PRTSCN", 0xFD}, {"SCRLK", 0xFE}, {"PAUSE", 0xFF}, {"INS", 0xC0},  {"HOME", 0xC1},
    {"PGUP", 0xC2},  {"DEL", 0xC3},  {"END", 0xC4},   {"PGDN", 0xC5},  {"RTAR", 0xDD},
    {"LFTAR", 0xDB}, {"DNAR", 0xDC}, {"UPAR", 0xDA},  {"NUMLK", -1},   {"KP/", 0xC6},
    {"KP*", 0xC7},   {"KP-", 0xC8},  {"KP+", 0xC9},   {"KPENT", 0xCA}, {"KPend", 0xD1},
    {"KPdnar", 0xD2}, {"KPpgdn", 0xD3}, {"KPlfar", 0xD4}, {"KP5", 0xD5}, {"KPrtar", 0xD6},
    {"KPhome", 0xD7}, {"KPupar", 0xD8}, {"KPpgup", 0xD9}, {"KPins", 0xD0}, {"KPdel", 0xDE},
};
static_assert(std::size(kFixedKeys) == kKeyRows - 36);

}  // namespace

KeyTable defaultKeyTable() {
    KeyTable table;
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
    return table;
}

int findKeyRow(const std::string& legend) {
    static const KeyTable defaults = defaultKeyTable();
    for (int row = 0; row < kKeyRows; ++row)
        if (defaults[row].legend == legend) return row;
    return -1;
}

}  // namespace k7
