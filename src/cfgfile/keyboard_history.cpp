#include "cfgfile/keyboard_history.h"

#include <algorithm>
#include <cctype>
#include <regex>
#include <utility>

#include "cfgfile/cfg_file.h"

namespace k7 {
namespace {

constexpr std::pair<HistoryEvent, const char*> kEventNames[] = {
    {HistoryEvent::Read, "read"}, {HistoryEvent::Sent, "sent"}, {HistoryEvent::Backup, "backup"}};
constexpr std::size_t kTimeLength = 17;  // "2026-12-07_013005"

const std::regex& namePattern() {
    static const std::regex pattern(R"(^(\d{4}-\d\d-\d\d)_(\d\d)(\d\d)(\d\d)(?:-(\d{1,6}))?_(read|sent|backup)_([A-Za-z0-9._-]+)\.cfg$)");
    return pattern;
}

// Sorts as time goes: the time, then the number of a second file in the same second.
std::string orderKey(const std::smatch& m) {
    const std::string counter = m[5].matched ? m[5].str() : "1";
    return m[1].str() + m[2].str() + m[3].str() + m[4].str() + std::string(6 - counter.size(), '0') + counter;
}

}  // namespace

std::string historyEventText(HistoryEvent event, const std::string& port) {
    switch (event) {
    case HistoryEvent::Read: return "read from " + port;
    case HistoryEvent::Sent: return "sent to " + port;
    case HistoryEvent::Backup: return "backed up from " + port;
    }
    return port;
}

std::string portForFileName(const std::string& device) {
    std::string name = device;
    if (name.rfind("/dev/", 0) == 0) name = name.substr(5);
    else if (const std::size_t slash = name.find_last_of('/'); slash != std::string::npos) name = name.substr(slash + 1);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.' && c != '_') c = '-';
    return name.empty() ? "port" : name;
}

std::string historyFileName(std::time_t when, HistoryEvent event, const std::string& device) {
    std::tm local{};
    ::localtime_r(&when, &local);
    char time[32];
    std::strftime(time, sizeof time, "%Y-%m-%d_%H%M%S", &local);
    const char* eventName = "";
    for (const auto& [e, name] : kEventNames)
        if (e == event) eventName = name;
    return std::string(time) + "_" + eventName + "_" + portForFileName(device) + ".cfg";
}

std::vector<std::string> KeyboardHistory::historyNames() const {
    std::vector<std::pair<std::string, std::string>> keyed;
    for (const std::string& name : files_.fileNames(folder_)) {
        std::smatch m;
        if (std::regex_match(name, m, namePattern())) keyed.emplace_back(orderKey(m), name);
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::string> names;
    for (auto& [key, name] : keyed) names.push_back(std::move(name));
    return names;
}

std::string KeyboardHistory::write(HistoryEvent event, const std::string& device, const std::vector<KeyString>& entries,
                                   std::time_t when, const std::string& writtenAt) {
    const std::lock_guard lock(mutex_);
    files_.createFolder(folder_);
    // A second file in the same second is numbered, so that the files keep the order written.
    const std::string name = historyFileName(when, event, device), second = name.substr(0, kTimeLength);
    int last = 0;
    for (const std::string& other : historyNames()) {
        std::smatch m;
        if (other.compare(0, kTimeLength, second) == 0 && std::regex_match(other, m, namePattern()))
            last = std::max(last, m[5].matched ? std::stoi(m[5].str()) : 1);
    }
    const std::string path =
        folder_ + "/" + (last ? second + "-" + std::to_string(last + 1) + name.substr(kTimeLength) : name);
    files_.replaceWith(path, cfgFileText(entries, writtenAt));
    const std::vector<std::string> names = historyNames();
    for (std::size_t i = 0; i + kept_ < names.size(); ++i) {
        try {
            files_.remove(folder_ + "/" + names[i]);
        } catch (const std::exception&) {
            // An old file that stays is no loss; the next write tries again.
        }
    }
    return path;
}

std::string KeyboardHistory::record(HistoryEvent event, const std::string& device, const std::vector<KeyString>& entries,
                                    std::time_t when, const std::string& writtenAt) {
    try {
        write(event, device, entries, when, writtenAt);
        return "";
    } catch (const std::exception& e) {
        const std::lock_guard lock(mutex_);
        if (std::exchange(failureReported_, true)) return "";
        return "The keyboard's history cannot be written to " + folder_ + " (" + e.what() +
               "); reads and sends go on without it";
    }
}

std::vector<HistoryEntry> KeyboardHistory::entries() const {
    std::vector<std::string> names;
    {
        const std::lock_guard lock(mutex_);
        names = historyNames();
    }
    std::vector<HistoryEntry> list;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        std::smatch m;
        std::regex_match(*name, m, namePattern());
        HistoryEntry entry;
        entry.path = folder_ + "/" + *name;
        entry.time = m[1].str() + " " + m[2].str() + ":" + m[3].str() + ":" + m[4].str();
        entry.port = m[7].str();
        for (const auto& [e, eventName] : kEventNames)
            if (m[6].str() == eventName) entry.event = e;
        try {
            const CfgContent content = readCfgFile(*files_.openRead(entry.path));
            if (!content.readError) entry.customStrings = int(content.entries.size());
        } catch (const std::exception&) {
        }
        list.push_back(std::move(entry));
    }
    return list;
}

}  // namespace k7
