#include "cfgfile/cfg_file.h"

#include <algorithm>
#include <array>
#include <map>

#include "platform/runtime_error.h"
#include "settings/numbers.h"

namespace k7 {
namespace {

constexpr const char* kCrLf = "\r\n";

// The TAB-separated fields of one line, or none for a blank or comment line.
std::vector<std::string> fieldsOf(const std::string& line) {
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos || line[first] == '#') return {};
    const std::size_t last = line.find_last_not_of(' ');
    std::vector<std::string> fields;
    std::size_t start = first;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string::npos || tab > last) {
            fields.push_back(line.substr(start, last + 1 - start));
            return fields;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

std::optional<KeyString> entryOf(const std::vector<std::string>& fields) {
    if (fields.size() < 2) return std::nullopt;
    const auto number = parseNumber(fields[0]);
    if (!number || *number > 100) return std::nullopt;
    toInt16(fields[0]);  // the number must fit 16 bits
    if (fields.size() < 3) return std::nullopt;
    if (fields[1].empty()) {  // written before the non-US # key had a name
        static const std::string nonUsHash = defaultKeyTable()[kNonUsHashRow].legend;
        return KeyString{nonUsHash, fields[2]};
    }
    return KeyString{fields[1], fields[2]};
}

constexpr std::size_t kLinesNamedInReport = 5;

// The string as a line can carry it: a TAB or a line feed would split the line and the
// reader strips blanks at its end, so these are written as the groups of the same bytes.
std::string lineNotation(const std::string& notation) {
    const std::size_t trailing = notation.find_last_not_of(' ') + 1;  // 0 when all are blanks
    std::string text;
    for (std::size_t i = 0; i < notation.size(); ++i) {
        const char c = notation[i];
        if (c == '\t') text += "{09}";
        else if (c == '\n') text += "{0A}";
        else if (c == ' ' && i >= trailing) text += "{20}";
        else text += c;
    }
    return text;
}

}  // namespace

std::string cfgFileText(const std::vector<KeyString>& entries, const std::string& writtenAt) {
    std::string text = "#Quimbrell KORVEN7 configuration file";
    text += kCrLf;
    text += "#File written " + writtenAt + kCrLf + kCrLf;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].legend.empty()) continue;
        const std::string number = std::to_string(i + 1);
        text += std::string(number.size() < 3 ? 3 - number.size() : 0, '0') + number;
        text += '\t' + entries[i].legend + '\t' + lineNotation(entries[i].notation) + kCrLf;
    }
    return text;
}

CfgContent readCfgFile(std::istream& in) {
    CfgContent content;
    std::array<int, kKeyRows> listedOn{};  // the line of each key's entry; 0 for none
    // The lines that gave no entry, by line number, so that a dropped earlier entry is
    // named in its place.
    std::multimap<int, std::string> notLoaded;
    std::string line;
    for (int number = 1;; ++number) {
        line.clear();
        std::getline(in, line);
        if (in.bad()) {
            content.readError = "Device I/O error";
            break;
        }
        if (in.fail()) break;  // nothing left to read
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string lineName = "line " + std::to_string(number);
        try {
            const std::vector<std::string> fields = fieldsOf(line);
            if (fields.empty()) continue;  // blank or comment
            const auto entry = entryOf(fields);
            const int row = entry ? findKeyRow(entry->legend) : -1;
            if (!entry) {
                notLoaded.emplace(number, lineName + " cannot be read");
            } else if (row < 0) {
                notLoaded.emplace(number, lineName + ": \"" + entry->legend + "\" names no key");
            } else {
                // A later entry for a key replaces the earlier one: the device has always
                // been sent the last string a file lists for a key.
                if (const int earlier = listedOn[std::size_t(row)]) {
                    const auto at = std::find(content.entryLines.begin(), content.entryLines.end(), earlier);
                    content.entries.erase(content.entries.begin() + (at - content.entryLines.begin()));
                    content.entryLines.erase(at);
                    notLoaded.emplace(earlier, "line " + std::to_string(earlier) + ": key \"" + entry->legend +
                                                   "\" is listed again on line " + std::to_string(number));
                }
                listedOn[std::size_t(row)] = number;
                content.entries.push_back(*entry);
                content.entryLines.push_back(number);
            }
        } catch (const RuntimeError& e) {
            notLoaded.emplace(number, lineName + " cannot be read: " + e.what());
        }
    }
    for (auto& [number, why] : notLoaded) {
        content.notLoadedLines.push_back(number);
        content.notLoaded.push_back(std::move(why));
    }
    return content;
}

std::string notLoadedReport(const CfgContent& content) {
    const std::vector<std::string>& lines = content.notLoaded;
    if (lines.empty()) return "";
    std::string text = std::to_string(lines.size()) +
                       (lines.size() == 1 ? " line of the file was not loaded:" : " lines of the file were not loaded:");
    for (std::size_t i = 0; i < lines.size() && i < kLinesNamedInReport; ++i) text += "\n" + lines[i];
    if (lines.size() > kLinesNamedInReport)
        text += "\n... and " + std::to_string(lines.size() - kLinesNamedInReport) + " more";
    return text;
}

}  // namespace k7
