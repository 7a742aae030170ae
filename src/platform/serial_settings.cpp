#include "platform/serial_settings.h"

#include <regex>

#include "platform/runtime_error.h"

namespace k7 {

LineSettings ParseSettingsText(const std::string& text) {
    static const std::regex form(R"(^\s*(\d{2,7})\s*,\s*([NnEeOoMmSs])\s*,\s*([4-8])\s*,\s*(1|1\.5|2)\s*$)");
    std::smatch m;
    if (!std::regex_match(text, m, form)) throw RuntimeError("Invalid property value");
    LineSettings s;
    s.baud = std::stoi(m[1]);
    if (s.baud < 50) throw RuntimeError("Invalid property value");
    s.parity = char(std::toupper(static_cast<unsigned char>(m[2].str()[0])));
    s.dataBits = std::stoi(m[3]);
    s.stopBits = m[4] == "1.5" ? 3 : std::stoi(m[4]);
    return s;
}

}  // namespace k7
