#pragma once
// The keys the KORVEN7 can be configured for: scancode, legend and output string,
// and the capture of a PC key press as a legend.
#include <array>
#include <cstdint>
#include <string>

namespace k7 {

struct KeyRecord {
    std::uint8_t Scancode = 0;  // USB HID usage ID; 0 in placeholder rows
    std::string Output;         // raw bytes, not notation
    std::string Legend;
};

inline constexpr int kKeyRows = 96;     // rows 0-95: scancodes 0x04-0x63
inline constexpr int kTableRows = 103;  // rows 96-102: placeholders "NOTUSED"
using KeyTableArray = std::array<KeyRecord, kTableRows>;

// Writes all 103 rows with their defaults.
void BuildKeyTable(KeyTableArray& table);

// First row among 0-95 whose legend equals `legend` exactly; -1 when there is none.
int FindKeyRow(const KeyTableArray& table, const std::string& legend);

// Row of a scancode (scancode - 4); the caller checks the range 4..106.
inline int RowOfScancode(int scancode) { return scancode - 4; }

// What GetKeyLegend remembers between key presses.
struct KeyLegendState {
    std::int16_t LastKeyCode = 0;
    std::int16_t PairToggle = 0;  // 0 or -1
    std::int16_t EnterCount = 0;
};

// Legend for a key-down in the key field, `keyCode` a Windows virtual-key code;
// "" for keys without a legend.
std::string GetKeyLegend(KeyLegendState& state, int keyCode);

}  // namespace k7
