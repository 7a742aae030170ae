#include "settings/port_choices.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

#include "settings/serial_settings.h"

namespace fs = std::filesystem;

namespace k7 {
namespace {

constexpr int kStandardPorts = 8;  // COM1 to COM8 are always offered

bool allDigits(std::string::const_iterator first, std::string::const_iterator last) {
    return first != last && std::all_of(first, last, [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The file a device path ends at, so that a link and its device compare equal.
std::string resolved(const std::string& device) {
    std::error_code ec;
    const fs::path path = fs::canonical(device, ec);
    return ec ? device : path.string();
}

const SerialPortInfo* listed(const std::vector<SerialPortInfo>& system, const std::string& device) {
    const std::string key = resolved(device);
    for (const SerialPortInfo& port : system)
        if (port.stablePath == device || resolved(port.device) == key) return &port;
    return nullptr;
}

// The standard devices (/dev/ttyS0 ...) are there whether or not a port is behind them;
// the system lists those that have one. Any other device is there when its file is
// (a pseudo-terminal named in the settings file).
bool exists(const std::string& device, const std::vector<SerialPortInfo>& system) {
    if (listed(system, device)) return true;
    const std::string prefix = standardDeviceName(1).substr(0, standardDeviceName(1).size() - 1);
    const bool standard = device.rfind(prefix, 0) == 0 && allDigits(device.begin() + long(prefix.size()), device.end());
    std::error_code ec;
    return !standard && fs::exists(device, ec);
}

}  // namespace

std::string portCaption(int number, const std::string& device) {
    const std::string com = "COM" + std::to_string(number);
    if (device == standardDeviceName(number)) return com;
    // A by-id or by-path link is long: name the device it points at.
    const fs::path shown = device.rfind("/dev/serial/", 0) == 0 ? resolved(device) : device;
    return com + " (" + shown.filename().string() + ")";
}

std::string portDetail(const std::string& device, const std::vector<SerialPortInfo>& system) {
    const SerialPortInfo* port = listed(system, device);
    if (!port) return exists(device, system) ? device : device + " (does not exist)";
    std::string said;
    for (const std::string& part : {port->description, port->manufacturer,
                                    port->serialNumber.empty() ? "" : "serial " + port->serialNumber})
        if (!part.empty()) said += (said.empty() ? ": " : ", ") + part;
    return port->device + said;
}

bool PortChoices::refresh(const std::vector<SerialPortInfo>& system) {
    std::map<int, std::string> named = settings_.portLines();
    std::map<int, PortChoice> byNumber;
    const auto add = [&byNumber](int n, const std::string& device, bool needsMapping) {
        PortChoice choice;
        choice.number = n;
        choice.device = device;
        choice.needsMapping = needsMapping;
        return byNumber.emplace(n, choice).second;
    };
    for (int n = 1; n <= kStandardPorts; ++n) add(n, named.count(n) ? named[n] : standardDeviceName(n), false);
    for (const auto& [n, device] : named) add(n, device, false);
    if (currentPort_ > 0) add(currentPort_, standardDeviceName(currentPort_), false);

    std::set<std::string> reached;
    std::set<int> taken;
    for (const auto& [n, choice] : byNumber) reached.insert(resolved(choice.device)), taken.insert(n);
    for (const auto& [device, n] : numbers_) taken.insert(n);
    std::vector<SerialPortInfo> sorted = system;
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.device < b.device; });
    for (const SerialPortInfo& port : sorted) {
        const std::string key = resolved(port.device);
        if (!reached.insert(key).second) continue;
        auto [numbered, isNew] = numbers_.try_emplace(key, kStandardPorts + 1);
        if (isNew) {
            while (taken.count(numbered->second)) ++numbered->second;
            taken.insert(numbered->second);
        }
        add(numbered->second, port.stablePath.empty() ? port.device : port.stablePath, true);
    }

    std::vector<PortChoice> entries;
    for (auto& [n, choice] : byNumber) {
        choice.detail = portDetail(choice.device, system);
        choice.exists = exists(choice.device, system);
        entries.push_back(std::move(choice));
    }
    if (entries == entries_) return false;
    entries_ = std::move(entries);
    return true;
}

void PortChoices::store(const PortChoice& choice, SettingsFile& into) {
    if (choice.needsMapping) into.setPortDevice(choice.number, choice.device);
}

}  // namespace k7
