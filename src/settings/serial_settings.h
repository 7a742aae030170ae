#pragma once
// The program's settings, read once from the settings file into checked values:
//   [COMSETTINGS] PORT=1  BAUD=9600  PARITY=N      [GENERAL] ENABLESTRINGS=0  BACKUP=0
//   [PORTS] COMn=<device>    (optional: the device opened for port number n)
#include <functional>
#include <string>

#include "platform/serial_port.h"
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

// Reads the settings file. A value that cannot be used is reported through `report`
// (the message the window shows) and its default is taken; the other values are still
// read. `explain`, when given, gets for each such value its key, the value and the
// default used, e.g. "[COMSETTINGS] BAUD=fast is not a baud rate; 9600 is used".
ProgramSettings loadSettings(const std::string& file, const std::function<void(const std::string&)>& report,
                             const std::function<void(const std::string&)>& explain = {});

// Writes the values, keeping the rest of the file. Throws RuntimeError when the
// file cannot be written.
void saveSettings(const std::string& file, const ProgramSettings& settings);

// The device opened for a port number: the settings file's [PORTS] COMn when present,
// else its standard device.
std::string portDeviceName(const std::string& file, int port);
// COMn on Windows, /dev/ttyS{n-1} elsewhere.
std::string standardDeviceName(int port);

// The line settings for the port: 8 data bits, 1 stop bit.
LineSettings lineSettings(const SerialSettings& settings);

}  // namespace k7
