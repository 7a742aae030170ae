#pragma once
#include <vector>

#include "platform/platform.h"

namespace k7::qt {

// The serial ports the system knows of (QSerialPortInfo), sorted by device path.
// Pseudo-terminals never appear.
std::vector<SerialPortInfo> systemSerialPorts();

}  // namespace k7::qt
