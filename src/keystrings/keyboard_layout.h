#pragma once
// Where the KORVEN7's keys lie on a full-size PC keyboard: every key of the key table at
// its usual place, with the keys the KORVEN7 has no string for (the modifiers) beside
// them so that the picture reads as a keyboard. Sizes are in
// key widths; the function row stands half a key apart from the rest.
#include <string>
#include <vector>

namespace k7 {

struct KeyPlace {
    std::string legend;  // the key table's legend; "" for a key that cannot be configured
    std::string label;   // what the key shows: its legend, or the key's usual name
    int row = 0;         // 0: the function row ... 5: the space bar's row
    double left = 0, top = 0, width = 1, height = 1;
};

// The keys row by row, each row from left to right.
const std::vector<KeyPlace>& keyboardLayout();

// The extent of the whole layout, in key widths.
inline constexpr double kLayoutWidth = 22.5;
inline constexpr double kLayoutHeight = 6.5;

}  // namespace k7
