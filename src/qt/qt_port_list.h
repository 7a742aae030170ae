#pragma once
#include "platform/serial_port.h"

namespace k7::qt {

// The system's serial ports as QSerialPortInfo finds them; on Linux an adapter's stable
// path is its link in /dev/serial/by-id.
class QtPortList : public PortList {
public:
    std::vector<SerialPortInfo> ports() override;
};

}  // namespace k7::qt
