#include "cfgfile/cfg_format.h"

#include <cstdio>

#include "platform/runtime_error.h"
#include "settings/numbers.h"

namespace k7 {

namespace {
constexpr const char* kCrLf = "\r\n";
constexpr const char* kReadFailed = "Device I/O error";
}  // namespace

std::string CfgFileText(const std::vector<std::string>& entries, const std::string& writtenAt) {
    std::string text = "#Quimbrell KORVEN7 configuration file";
    text += kCrLf;
    text += "#File written " + writtenAt + kCrLf + kCrLf;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        const std::size_t tab = entry.find('\t');
        const std::string legend = entry.substr(0, tab);
        if (legend.empty()) continue;
        const std::string number = std::to_string(i + 1);
        text += std::string(number.size() < 3 ? 3 - number.size() : 0, '0') + number;
        text += '\t';
        text += legend;
        text += '\t';
        if (tab != std::string::npos) text.append(entry, tab + 1);
        text += kCrLf;
    }
    return text;
}

bool ReadCfgLine(std::istream& in, std::string& line) {
    line.clear();
    std::getline(in, line);
    if (in.bad()) throw RuntimeError(kReadFailed);
    if (in.fail()) return false;  // nothing left to read
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

std::vector<std::string> CfgLineFields(const std::string& line) {
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

std::optional<std::string> ParseCfgFields(const std::vector<std::string>& CfgFields) {
    if (CfgFields.size() < 2) return std::nullopt;
    const auto number = ParseNumber(CfgFields[0]);
    if (!number || *number > 100) return std::nullopt;
    ToInt16(CfgFields[0]);  // the number must fit 16 bits
    if (CfgFields.size() < 3) return std::nullopt;
    return CfgFields[1] + '\t' + CfgFields[2];
}

}  // namespace k7
