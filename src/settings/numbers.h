#pragma once
// Text to number the way the program's settings and files expect: blanks around the
// number are ignored, a fraction is rounded to the nearest integer (halves to even),
// and anything that is not a number raises "Type mismatch".
#include <cstdint>
#include <optional>
#include <string>

namespace k7 {

// The decimal number in `text`, or nullopt when it is not a number.
std::optional<double> parseNumber(const std::string& text);

// Throws RuntimeError: kTypeMismatch for a text that is not a number, kOverflow
// for a value outside -32768..32767.
std::int16_t toInt16(const std::string& text);

// The same for 32-bit values.
std::int32_t toInt32(const std::string& text);

}  // namespace k7
