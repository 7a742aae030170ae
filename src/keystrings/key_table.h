#pragma once
// The keys the KORVEN7 can be configured for: scancode, legend and default output string.
#include <array>
#include <cstdint>
#include <string>

namespace k7 {

struct KeyRecord {
    std::uint8_t scancode = 0;  // USB HID usage ID; 0 in placeholder rows
    std::string output;         // raw bytes, not notation
    std::string legend;
};

inline constexpr int kKeyRows = 96;     // rows 0-95: scancodes 0x04-0x63
inline constexpr int kTableRows = 103;  // rows 96-102: placeholders "NOTUSED"
using KeyTable = std::array<KeyRecord, kTableRows>;

// All 103 rows with their default strings.
KeyTable defaultKeyTable();

// The row among 0-95 whose legend equals `legend` exactly; -1 when there is none.
int findKeyRow(const std::string& legend);

// The non-US # key. Files written before it had a name list it with an empty legend.
inline constexpr int kNonUsHashRow = 46;

// Row of a scancode (scancode - 4); the caller checks the range 4..106.
inline int rowOfScancode(int scancode) { return scancode - 4; }

}  // namespace k7
