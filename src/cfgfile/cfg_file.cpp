#include "cfgfile/cfg_file.h"

#include <array>

#include "keystrings/string_field_check.h"
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
    std::array<bool, kKeyRows> listed{};
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
        const std::size_t notLoadedBefore = content.notLoaded.size();
        try {
            const std::vector<std::string> fields = fieldsOf(line);
            if (fields.empty()) continue;  // blank or comment
            const auto entry = entryOf(fields);
            const int row = entry ? findKeyRow(entry->legend) : -1;
            if (!entry) {
                content.notLoaded.push_back(lineName + " cannot be read");
            } else if (row < 0) {
                content.notLoaded.push_back(lineName + ": \"" + entry->legend + "\" names no key");
            } else if (const std::string refusal = stringRefusal(entry->notation); !refusal.empty()) {
                content.notLoaded.push_back(lineName + ": key \"" + entry->legend + "\": the keyboard cannot take " + refusal);
            } else if (listed[std::size_t(row)]) {
                content.notLoaded.push_back(lineName + ": key \"" + entry->legend + "\" is listed already");
            } else {
                listed[std::size_t(row)] = true;
                content.entries.push_back(*entry);
                content.entryLines.push_back(number);
            }
        } catch (const RuntimeError& e) {
            content.notLoaded.push_back(lineName + " cannot be read: " + e.what());
        }
        if (content.notLoaded.size() > notLoadedBefore) content.notLoadedLines.push_back(number);
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
