#include "qt/qt_port_list.h"

#include <QSerialPortInfo>
#include <filesystem>
#include <fstream>
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

#ifdef __linux__
namespace {

std::string firstLineOf(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace

SerialPortInfo QtPortList::adapterOf(const std::string& device, const std::string& sysfs) {
    SerialPortInfo info;
    info.device = device;
    // /sys/class/tty/ttyUSB0/device lies under the USB device, the folder with idVendor.
    std::error_code ec;
    fs::path at = fs::canonical(fs::path(sysfs) / "class/tty" / fs::path(device).filename() / "device", ec);
    for (; !ec && at.has_relative_path() && at != fs::path(sysfs); at = at.parent_path()) {
        if (!fs::exists(at / "idVendor", ec)) continue;
        info.manufacturer = firstLineOf(at / "manufacturer");
        info.serialNumber = firstLineOf(at / "serial");
        info.description = firstLineOf(at / "product");
        break;
    }
    return info;
}
#else
SerialPortInfo QtPortList::adapterOf(const std::string& device, const std::string&) {
    for (const SerialPortInfo& info : QtPortList().ports())
        if (info.device == device) return info;
    return {device, "", "", "", ""};
}
#endif

}  // namespace k7::qt
