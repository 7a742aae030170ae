#pragma once
// The port's settings text "baud,parity,data,stop", e.g. "9600,N,8,1".
#include <string>

namespace k7 {

struct LineSettings {
    int baud = 9600;
    char parity = 'N';  // N, E, O, M or S
    int dataBits = 8;
    int stopBits = 1;   // 1 or 2; "1.5" is stored as 3
};

// Throws RuntimeError("Invalid property value") for a text the port cannot apply.
LineSettings ParseSettingsText(const std::string& text);

}  // namespace k7
