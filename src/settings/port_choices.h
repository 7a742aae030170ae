#pragma once
// The ports the settings dialog offers: COM1 to COM8 as always, then the ports the
// settings file names in [PORTS], then every port the system has that none of these
// reaches, each numbered after them. Choosing one of the system's ports writes
// [PORTS] COMn for it, with its /dev/serial/by-id path where it has one, so the choice
// survives re-plugging and nobody edits the file by hand.
#include <map>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "settings/serial_settings.h"

namespace k7 {

struct PortChoice {
    int number = 0;             // PORT=n, shown as COMn
    std::string device;         // the device opened for it
    std::string detail;         // the device and what the system says of it, or that it does not exist
    bool exists = false;
    bool needsMapping = false;  // the settings file does not name this device for the number yet
    bool operator==(const PortChoice&) const = default;
};

// "COM9 (ttyUSB0)" for a port that opens another device than its standard one, else "COM9".
std::string portCaption(int number, const std::string& device);

// The device and what the system says of it, "/dev/ttyUSB0: FT232R USB UART, FTDI, serial
// A50285BI", or "/dev/ttyS3 (does not exist)".
std::string portDetail(const std::string& device, const std::vector<SerialPortInfo>& system);

class PortChoices {
public:
    PortChoices(const SettingsFile& settings, int currentPort) : settings_(settings), currentPort_(currentPort) {}
    // Takes the ports the system has now; true when the entries changed. A system's port
    // keeps its number while this lives, plugged in or not, so no other port takes it.
    bool refresh(const std::vector<SerialPortInfo>& system);
    const std::vector<PortChoice>& entries() const { return entries_; }
    // Sets [PORTS] COMn for an entry that needs it, in `into` (saved by its owner).
    static void store(const PortChoice& choice, SettingsFile& into);

private:
    const SettingsFile& settings_;
    int currentPort_;
    std::map<std::string, int> numbers_;  // the system's ports, by the device they resolve to
    std::vector<PortChoice> entries_;
};

}  // namespace k7
