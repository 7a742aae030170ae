#pragma once
// The program's settings file, read once: its sections as typed values, changed in
// memory by whoever owns them and written in one piece, in place, its order and comments
// kept.
//   [COMSETTINGS] PORT=1  BAUD=9600  PARITY=N      [GENERAL] ENABLESTRINGS=0  BACKUP=0
//   [PORTS] COMn=<device>    (optional: the device opened for port number n)
//   [KEYMAP] LEFT= TOP= WIDTH= HEIGHT=    (the key map window's place when last closed)
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "settings/ini_file.h"
#include "settings/line_choices.h"

namespace k7 {

struct SerialSettings {
    int port = 1;        // port number, 1 = the first port
    int baud = 9600;
    char parity = 'N';   // N, E, O, M or S
    bool operator==(const SerialSettings&) const = default;
};

struct ProgramSettings {
    SerialSettings serial;
    int enableStrings = 0;  // kept and written back, not used otherwise
    bool backupBeforeSend = false;  // a send first reads the keyboard into the history
};

struct WindowPlace {
    int left = 0, top = 0, width = 0, height = 0;
    std::string screen;  // the screen it was on, by size and scale
};

using Report = std::function<void(const std::string&)>;  // a message to show

class SettingsFile {
public:
    SettingsFile() = default;
    // Reads the file; one that is missing or cannot be read reads as empty.
    explicit SettingsFile(std::string path) : path_(std::move(path)), doc_(IniDocument::read(path_)) {}
    const std::string& path() const { return path_; }

    // [COMSETTINGS] and [GENERAL]. A value that cannot be used is reported through
    // `report` (the message the window shows) and its default taken; the others are
    // still read. `explain`, when given, gets for each such value its key, the value and
    // the default used, e.g. "[COMSETTINGS] BAUD=fast is not a baud rate; 9600 is used".
    ProgramSettings program(const Report& report, const Report& explain = {}) const;
    void setProgram(const ProgramSettings& settings);

    // [PORTS]: the device opened for a port number, its COMn line or else its standard
    // device; and every COMn line (the first of each number).
    std::string portDevice(int port) const;
    std::map<int, std::string> portLines() const;
    void setPortDevice(int port, const std::string& device);

    // [KEYMAP]: nullopt when the window was never closed, or after a value that is not a
    // number (reported).
    std::optional<WindowPlace> keyMapPlace(const Report& report) const;
    void setKeyMapPlace(const WindowPlace& place);

    // [RECENT] FILE1 to FILE5: the files last opened or saved, newest first (UTF-8 paths).
    std::vector<std::string> recentFiles() const;
    void setRecentFiles(const std::vector<std::string>& files);

    // Writes the file once; throws RuntimeError when it cannot, and the old file stays.
    void save() const { doc_.write(path_); }

private:
    std::string path_;
    IniDocument doc_;
};

// The port number of "COMn" (any case), n from 1 to 32767; nullopt for anything else.
std::optional<int> comPortNumber(const std::string& name);
// COMn on Windows, /dev/ttyS{n-1} elsewhere.
std::string standardDeviceName(int port);

// The line settings for the port: 8 data bits, 1 stop bit.
LineSettings lineSettings(const SerialSettings& settings);

}  // namespace k7
