#pragma once
#include <cstdint>
#include <string>

namespace k7 {

// `s` with spaces appended up to at least `width` characters, then one TAB.
std::string padtab(const std::string& s, std::int16_t width);

}  // namespace k7
