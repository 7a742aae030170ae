#pragma once
// Comparing the device's record of a key with the record the program expects.
#include <string>

#include "keystrings/key_table.h"

namespace k7 {

// Every field in which `readback` differs from `expected`, as one text; "" when equal.
std::string CompareReadBackKey(const KeyRecord& readback, const KeyRecord& expected);

// A row that a valid reply filled during the current pass (an unfilled row has scancode 0).
inline bool Answered(const KeyRecord& readback) { return readback.Scancode != 0; }

}  // namespace k7
