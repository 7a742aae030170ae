#include "cfgfile/cfg_file.h"

#include <array>
#include <iterator>
#include <sstream>
#include <variant>

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

// The entry of a line, or why the line is none.
std::variant<KeyString, std::string> entryOf(const std::vector<std::string>& fields) {
    constexpr const char* kFields = "a line holds number, key and string separated by TAB";
    if (fields.size() < 2) return kFields;
    const auto number = parseNumber(fields[0]);
    if (!number) return "\"" + fields[0] + "\" is not a sequence number";
    if (*number > 100) return "sequence number " + fields[0] + " is above 100";
    if (*number < -32768.5) return "sequence number " + fields[0] + " is below -32768";
    if (fields.size() < 3) return kFields;
    return KeyString{fields[1], fields[2]};
}

// The stream's bytes, at most one more than any list needs; the text is cut after its
// last whole line when the stream fails part-way.
std::string boundedText(std::istream& in, CfgContent& content) {
    std::string text;
    try {
        for (std::istreambuf_iterator<char> byte(in), end; byte != end && text.size() <= kLargestCfgFile; ++byte)
            text += *byte;
    } catch (const std::exception&) {
        content.readError = "Device I/O error";
        text.resize(text.rfind('\n') + 1);  // npos + 1: nothing
    }
    if (text.size() > kLargestCfgFile) {
        content.readError = "The file is over 1 MiB, larger than any list can be";
        text.clear();
    }
    return text;
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
    std::istringstream lines(boundedText(in, content));
    std::array<bool, kKeyRows> listed{};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string lineName = "line " + std::to_string(number);
        const std::vector<std::string> fields = fieldsOf(line);
        if (fields.empty()) continue;  // blank or comment
        const auto entry = entryOf(fields);
        const KeyString* const taken = std::get_if<KeyString>(&entry);
        const int row = taken ? findKeyRow(taken->legend) : -1;
        if (!taken) {
            content.notLoaded.push_back(lineName + ": " + std::get<std::string>(entry));
        } else if (row < 0) {
            content.notLoaded.push_back(lineName + ": \"" + taken->legend + "\" names no key");
        } else if (listed[std::size_t(row)]) {
            content.notLoaded.push_back(lineName + ": key \"" + taken->legend + "\" is listed already");
        } else {
            listed[std::size_t(row)] = true;
            content.entries.push_back(*taken);
            content.entryLines.push_back(number);
            continue;
        }
        content.notLoadedLines.push_back(number);
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
