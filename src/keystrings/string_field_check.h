#pragma once
// The live check of the string field as the user types: counts the units of the text's
// notation (a character or a {HH} group is one unit) and finds the first fault, with the
// text cut back to what may stay.
#include <optional>
#include <string>

namespace k7 {

inline constexpr int kMaxStringUnits = 10;

struct StringFieldCheck {
    std::optional<int> shownCount;          // the count to show; none when a group fault ends the check
    std::string message;                    // "" when the text is fine
    std::optional<std::string> corrected;   // the text to put back into the field
    bool groupOpen = false;                 // the text ends inside a "{" group
};

StringFieldCheck checkStringField(const std::string& text);

// Add To List refuses a string that ends inside a "{" group: the keyboard would get the
// bytes before it, and the list would show the group.
inline constexpr const char* kUnfinishedGroupMessage =
    "brackets must be closed .. finish the {HH} group with } before adding the string";

// Why the keyboard cannot take a string written in the notation, as a file may bring it
// ("" when it can): a group left open, a group that is no byte, the byte 00, more than
// ten bytes.
std::string stringRefusal(const std::string& notation);

}  // namespace k7
