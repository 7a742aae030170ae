#pragma once
// The serial port and the system's list of serial ports.
#include <string>
#include <vector>

namespace k7 {

// What a serial line is set to.
struct LineSettings {
    int baud = 9600;
    char parity = 'N';  // N, E, O, M or S
    int dataBits = 8;
    int stopBits = 1;
};

// The serial port. Strings are bytes both ways. Failures throw RuntimeError with the
// platform's description.
class SerialPort {
public:
    virtual ~SerialPort() = default;
    virtual void setPortName(const std::string& device) = 0;
    virtual void setSettings(const LineSettings& settings) = 0;
    virtual bool isOpen() const = 0;
    virtual void open() = 0;
    virtual void close() = 0;
    virtual void output(const std::string& bytes) = 0;
    // Every byte received and not yet read, possibly none; never waits.
    virtual std::string input() = 0;
    // While quiet, arriving bytes do not wake the program; they wait for input(). For
    // fixed waits that read only at their end. Closing the port ends it.
    virtual void setInputQuiet(bool) {}
};

// A serial port the system has, and what the system says of it ("" where it says nothing).
struct SerialPortInfo {
    std::string device;        // /dev/ttyUSB0 (COM9 on Windows)
    std::string description;   // "FT232R USB UART"
    std::string manufacturer;  // "FTDI"
    std::string serialNumber;
    std::string stablePath;    // /dev/serial/by-id/...: the same adapter after re-plugging; "" when none
    bool operator==(const SerialPortInfo&) const = default;
};

// The serial ports the system has now: built-in ports with hardware behind them, USB
// adapters, ACM devices. Pseudo-terminals are not among them.
class PortList {
public:
    virtual ~PortList() = default;
    virtual std::vector<SerialPortInfo> ports() = 0;
};

}  // namespace k7
