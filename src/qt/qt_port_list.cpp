#include "qt/qt_port_list.h"

#include <QSerialPortInfo>
#include <filesystem>
#include <map>

#include "qt/qt_text.h"

namespace fs = std::filesystem;

namespace k7::qt {

std::vector<SerialPortInfo> QtPortList::ports() {
    // The by-id links, keyed by the device each points at.
    std::map<std::string, std::string> stable;
    std::error_code ec;
    for (const auto& link : fs::directory_iterator("/dev/serial/by-id", ec)) {
        std::error_code broken;
        const fs::path target = fs::canonical(link.path(), broken);
        if (!broken) stable[target.string()] = link.path().string();
    }
    std::vector<SerialPortInfo> list;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
#ifdef _WIN32
        const std::string device = port.portName().toStdString();
#else
        const std::string device = port.systemLocation().toLocal8Bit().toStdString();
#endif
        std::error_code unresolved;
        const fs::path resolved = fs::canonical(device, unresolved);
        const auto link = unresolved ? stable.end() : stable.find(resolved.string());
        list.push_back({device, FromQ(port.description()), FromQ(port.manufacturer()), FromQ(port.serialNumber()),
                        link == stable.end() ? "" : link->second});
    }
    return list;
}

}  // namespace k7::qt
