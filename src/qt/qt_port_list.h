#pragma once
#include "platform/serial_port.h"

namespace k7::qt {

// The system's serial ports as QSerialPortInfo finds them; on Linux an adapter's stable
// path is its link in /dev/serial/by-id.
class QtPortList : public PortList {
public:
    std::vector<SerialPortInfo> ports() override;
    // The adapter behind `device`: its maker, serial number and product as it names them
    // itself, all empty for a port without one. On Linux read from sysfs for that device
    // alone (ports() asks udev about every tty, some 10 ms).
    static SerialPortInfo adapterOf(const std::string& device, const std::string& sysfs = "/sys");
};

}  // namespace k7::qt
