#include "settings/serial_settings.h"

#include <cctype>
#include <regex>

#include "platform/runtime_error.h"
#include "settings/ini_file.h"
#include "settings/numbers.h"

namespace k7 {
namespace {

constexpr const char* kBadNumber = "Error detected - ";
constexpr const char* kBadPortSetting = "Error setting up comm port - ";

std::optional<int> baudOf(const std::string& text) {
    static const std::regex digits(R"(^\s*(\d{2,7})\s*$)");
    std::smatch m;
    if (!std::regex_match(text, m, digits)) return std::nullopt;
    const int baud = std::stoi(m[1]);
    return baud >= 50 ? std::optional(baud) : std::nullopt;
}

std::optional<char> parityOf(const std::string& text) {
    static const std::regex letter(R"(^\s*([NnEeOoMmSs])\s*$)");
    std::smatch m;
    if (!std::regex_match(text, m, letter)) return std::nullopt;
    return char(std::toupper(static_cast<unsigned char>(m[1].str()[0])));
}

}  // namespace

ProgramSettings loadSettings(const std::string& file, const std::function<void(const std::string&)>& report,
                             const std::function<void(const std::string&)>& explain) {
    ProgramSettings s;
    auto refused = [&](const char* section, const char* key, const std::string& value, const char* why, const char* used) {
        if (explain) explain(std::string("[") + section + "] " + key + "=" + value + " " + why + "; " + used + " is used");
    };
    auto number = [&](const char* section, const char* key, const char* def, int& target) {
        const std::string value = readIniValue(file, section, key, def);
        try {
            target = toInt16(value);
            return true;
        } catch (const RuntimeError& e) {
            report(kBadNumber + std::string(e.what()));
            refused(section, key, value, e.what() == std::string(kOverflow) ? "is out of range" : "is not a number", def);
            return false;
        }
    };
    // The numbers are reported as they are read, the port's values as it is set up.
    const bool portRead = number("COMSETTINGS", "PORT", "1", s.serial.port);
    const std::string baudText = readIniValue(file, "COMSETTINGS", "BAUD", "9600");
    const std::string parityText = readIniValue(file, "COMSETTINGS", "PARITY", "N");
    const auto baud = baudOf(baudText);
    const auto parity = parityOf(parityText);
    number("GENERAL", "ENABLESTRINGS", "0", s.enableStrings);
    int backup = 0;
    if (number("GENERAL", "BACKUP", "0", backup)) s.backupBeforeSend = backup != 0;
    if (portRead && s.serial.port < 1) {
        report(kBadPortSetting + std::string("Invalid port number"));
        refused("COMSETTINGS", "PORT", std::to_string(s.serial.port), "is below 1", "1");
        s.serial.port = 1;
    } else if (!baud || !parity) {
        report(kBadPortSetting + std::string("Invalid property value"));
    }
    if (!baud) refused("COMSETTINGS", "BAUD", baudText, "is not a baud rate", "9600");
    if (!parity) refused("COMSETTINGS", "PARITY", parityText, "is not N, E, O, M or S", "N");
    s.serial.baud = baud.value_or(9600);
    s.serial.parity = parity.value_or('N');
    return s;
}

void saveSettings(const std::string& file, const ProgramSettings& s) {
    writeIniValue(file, "COMSETTINGS", "PORT", std::to_string(s.serial.port));
    writeIniValue(file, "COMSETTINGS", "BAUD", std::to_string(s.serial.baud));
    writeIniValue(file, "COMSETTINGS", "PARITY", std::string(1, s.serial.parity));
    writeIniValue(file, "GENERAL", "ENABLESTRINGS", std::to_string(s.enableStrings));
    writeIniValue(file, "GENERAL", "BACKUP", s.backupBeforeSend ? "1" : "0");
}

std::string portDeviceName(const std::string& file, int port) {
    return readIniValue(file, "PORTS", "COM" + std::to_string(port), standardDeviceName(port));
}

std::string standardDeviceName(int port) {
#ifdef _WIN32
    return "COM" + std::to_string(port);
#else
    return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

LineSettings lineSettings(const SerialSettings& s) { return {s.baud, s.parity, 8, 1}; }

}  // namespace k7
