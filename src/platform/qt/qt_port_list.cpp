#include "platform/qt/qt_port_list.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace k7::qt {

std::vector<SerialPortInfo> systemSerialPorts() {
    auto text = [](const QString& s) { return std::string(s.toLocal8Bit().constData()); };
    std::vector<SerialPortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back({text(info.systemLocation()), text(info.description()), text(info.manufacturer()),
                         text(info.serialNumber())});
    std::sort(ports.begin(), ports.end(),
              [](const SerialPortInfo& a, const SerialPortInfo& b) { return a.device < b.device; });
    return ports;
}

}  // namespace k7::qt
