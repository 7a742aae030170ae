#pragma once
// A serial port on virtual time with the in-process KORVEN7 emulator on the other end.
#include <map>
#include <optional>
#include <string>

#include "emulator/korven7_emulator.h"
#include "platform/serial_port_error.h"
#include "platform/serial_port.h"
#include "support/virtual_time.h"

namespace k7::test {

class FakeSerialPort : public SerialPort, public WakeSource {
public:
    FakeSerialPort(VirtualClock& clock, FakePump& pump) : clock_(clock) { pump.addSource(this); }
    // The device on the line; nullptr: nothing attached (silence).
    void attach(Korven7Emulator* device) { device_ = device; }
    void setPortName(const std::string& device) override;
    void setSettings(const LineSettings& s) override;
    bool isOpen() const override { return open_; }
    void open() override;
    void close() override { open_ = false; }
    void output(const std::string& bytes) override;
    std::string input() override;
    void setInputQuiet(bool quiet) override { quiet_ = quiet; }
    std::optional<std::int64_t> nextWakeUs() const override;
    void fireDue(std::int64_t) override {}
    // Bytes that reach the program at atUs whatever was sent: a line the test scripts.
    void arriveAt(std::int64_t atUs, const std::string& bytes) { arrivals_.emplace(atUs, bytes); }

    std::string portName;
    struct OpenFailure {
        PortFailure kind = PortFailure::Other;
        std::string description;
    };
    std::optional<OpenFailure> failOpen;    // an open that fails
    std::optional<std::string> failOutput;  // description of a write that fails
    std::string sent;                       // every byte written, in order
    // Devices by port name instead of the one attached, each hearing only at its own rate
    // (the emulator's): bytes sent at another rate are noise to it.
    std::map<std::string, Korven7Emulator*> wired;
    std::map<std::string, OpenFailure> failOpenAt;  // port name: how its open fails
private:
    VirtualClock& clock_;
    Korven7Emulator* device_ = nullptr;
    bool open_ = false;
    bool quiet_ = false;  // arriving bytes do not wake the pump
    int lineBaud_ = 9600;
    std::multimap<std::int64_t, std::string> arrivals_;
};

}  // namespace k7::test
