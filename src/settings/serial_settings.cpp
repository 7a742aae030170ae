#include "settings/serial_settings.h"

#include <cctype>
#include <charconv>
#include <regex>

#include "platform/runtime_error.h"
#include "settings/numbers.h"

namespace k7 {
namespace {

constexpr const char* kBadNumber = "Error detected - ";
constexpr const char* kBadPortSetting = "Error setting up comm port - ";
constexpr const char* kKeyMap = "KEYMAP";
constexpr const char* kPlaceKeys[] = {"LEFT", "TOP", "WIDTH", "HEIGHT"};
constexpr const char* kRecent = "RECENT";
constexpr const char* kRecentKeys[] = {"FILE1", "FILE2", "FILE3", "FILE4", "FILE5"};

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

ProgramSettings SettingsFile::program(const Report& report, const Report& explain) const {
    ProgramSettings s;
    auto text = [&](const char* section, const char* key, const char* def) {
        return doc_.value(section, key).value_or(def);
    };
    auto refused = [&](const char* section, const char* key, const std::string& value, const char* why, const char* used) {
        if (explain) explain(std::string("[") + section + "] " + key + "=" + value + " " + why + "; " + used + " is used");
    };
    auto number = [&](const char* section, const char* key, const char* def, int& target) {
        const std::string value = text(section, key, def);
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
    const std::string baudText = text("COMSETTINGS", "BAUD", "9600");
    const std::string parityText = text("COMSETTINGS", "PARITY", "N");
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

void SettingsFile::setProgram(const ProgramSettings& s) {
    doc_.set("COMSETTINGS", "PORT", std::to_string(s.serial.port));
    doc_.set("COMSETTINGS", "BAUD", std::to_string(s.serial.baud));
    doc_.set("COMSETTINGS", "PARITY", std::string(1, s.serial.parity));
    doc_.set("GENERAL", "ENABLESTRINGS", std::to_string(s.enableStrings));
    doc_.set("GENERAL", "BACKUP", s.backupBeforeSend ? "1" : "0");
}

std::string SettingsFile::portDevice(int port) const {
    return doc_.value("PORTS", "COM" + std::to_string(port)).value_or(standardDeviceName(port));
}

std::map<int, std::string> SettingsFile::portLines() const {
    std::map<int, std::string> lines;
    for (const auto& [key, device] : doc_.section("PORTS"))
        if (const auto n = comPortNumber(key)) lines.emplace(*n, device);
    return lines;
}

void SettingsFile::setPortDevice(int port, const std::string& device) {
    doc_.set("PORTS", "COM" + std::to_string(port), device);
}

std::optional<WindowPlace> SettingsFile::keyMapPlace(const Report& report) const {
    int values[4];
    for (int i = 0; i < 4; ++i) {
        const std::string text = doc_.value(kKeyMap, kPlaceKeys[i]).value_or("");
        if (text.empty()) return std::nullopt;  // never closed yet
        try {
            values[i] = toInt32(text);
        } catch (const std::exception& e) {
            report(std::string("Error detected - [KEYMAP] ") + kPlaceKeys[i] + ": " + e.what());
            return std::nullopt;
        }
    }
    return WindowPlace{values[0], values[1], values[2], values[3], doc_.value(kKeyMap, "SCREEN").value_or("")};
}

void SettingsFile::setKeyMapPlace(const WindowPlace& place) {
    const int values[4] = {place.left, place.top, place.width, place.height};
    for (int i = 0; i < 4; ++i) doc_.set(kKeyMap, kPlaceKeys[i], std::to_string(values[i]));
    doc_.set(kKeyMap, "SCREEN", place.screen);
}

std::vector<std::string> SettingsFile::recentFiles() const {
    std::vector<std::string> files;
    for (const char* key : kRecentKeys)
        if (std::string path = doc_.value(kRecent, key).value_or(""); !path.empty()) files.push_back(std::move(path));
    return files;
}

void SettingsFile::setRecentFiles(const std::vector<std::string>& files) {
    for (std::size_t i = 0; i < std::size(kRecentKeys); ++i)
        doc_.set(kRecent, kRecentKeys[i], i < files.size() ? files[i] : "");
}

std::optional<int> comPortNumber(const std::string& name) {
    if (name.size() < 4) return std::nullopt;
    std::string prefix = name.substr(0, 3);
    for (char& c : prefix) c = char(std::toupper(static_cast<unsigned char>(c)));
    int number = 0;
    const char* first = name.data() + 3;
    const char* last = name.data() + name.size();
    const auto [end, ec] = std::from_chars(first, last, number);
    if (prefix != "COM" || ec != std::errc() || end != last || number < 1 || number > 32767) return std::nullopt;
    return number;
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
