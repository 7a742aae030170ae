#include "settings/numbers.h"

#include <cfenv>
#include <cmath>
#include <regex>

#include "platform/runtime_error.h"

namespace k7 {

std::optional<double> parseNumber(const std::string& text) {
    static const std::regex number(R"(^[ \t]*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?[ \t]*$)");
    if (!std::regex_match(text, number)) return std::nullopt;
    return std::strtod(text.c_str(), nullptr);
}

namespace {
double roundedNumber(const std::string& text, double low, double high) {
    const auto value = parseNumber(text);
    if (!value) throw RuntimeError(kTypeMismatch);
    const double rounded = std::nearbyint(*value);  // the default mode rounds halves to even
    if (!(rounded >= low && rounded <= high)) throw RuntimeError(kOverflow);
    return rounded;
}
}  // namespace

std::int16_t toInt16(const std::string& text) {
    return static_cast<std::int16_t>(roundedNumber(text, -32768.0, 32767.0));
}

std::int32_t toInt32(const std::string& text) {
    return static_cast<std::int32_t>(roundedNumber(text, -2147483648.0, 2147483647.0));
}

}  // namespace k7
