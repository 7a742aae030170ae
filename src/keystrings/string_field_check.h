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

}  // namespace k7
