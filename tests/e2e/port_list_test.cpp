// The adapter behind one port, read from a sysfs tree laid out as Linux lays it out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "qt/qt_port_list.h"

namespace k7::test {
namespace {

namespace fs = std::filesystem;

TEST(AdapterOf, NamesTheNearestUsbDeviceAboveThePortAndNothingForOtherPorts) {
    const fs::path root = fs::temp_directory_path() / ("k7sysfs-" + std::to_string(::getpid()));
    fs::remove_all(root);
    auto write = [&](const fs::path& folder, const std::string& name, const std::string& text) {
        fs::create_directories(root / folder);
        std::ofstream(root / folder / name) << text << "\n";
    };
    // A USB hub with an FTDI adapter behind it: the hub has idVendor and a serial number too.
    write("devices/pci0/usb1", "idVendor", "1d6b");
    write("devices/pci0/usb1", "serial", "0000:00:14.0");
    write("devices/pci0/usb1", "manufacturer", "Linux Foundation");
    write("devices/pci0/usb1/1-2", "idVendor", "0403");
    write("devices/pci0/usb1/1-2", "manufacturer", "FTDI");
    write("devices/pci0/usb1/1-2", "serial", "A10K7");
    write("devices/pci0/usb1/1-2", "product", "FT232R USB UART");
    write("devices/pci0/usb1/1-2/1-2:1.0/ttyUSB0", "dev", "188:0");
    write("devices/platform/serial8250/tty/ttyS0", "dev", "4:64");
    fs::create_directories(root / "class/tty/ttyUSB0");
    fs::create_directories(root / "class/tty/ttyS0");
    fs::create_directory_symlink("../../../devices/pci0/usb1/1-2/1-2:1.0/ttyUSB0", root / "class/tty/ttyUSB0/device");
    fs::create_directory_symlink("../../../devices/platform/serial8250", root / "class/tty/ttyS0/device");

    const SerialPortInfo usb = qt::QtPortList::adapterOf("/dev/ttyUSB0", root.string());
    EXPECT_EQ(usb, (SerialPortInfo{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K7", ""}));
    // A built-in port and a pseudo-terminal have no adapter.
    EXPECT_EQ(qt::QtPortList::adapterOf("/dev/ttyS0", root.string()), (SerialPortInfo{"/dev/ttyS0", "", "", "", ""}));
    EXPECT_EQ(qt::QtPortList::adapterOf("/dev/pts/3", root.string()), (SerialPortInfo{"/dev/pts/3", "", "", "", ""}));
    fs::remove_all(root);
}

}  // namespace
}  // namespace k7::test
