#include "settings/ini_file.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/disk_file_store.h"

namespace k7 {
namespace {

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// One line of the file, with its line end kept apart so the file can be rewritten exactly.
struct Line {
    std::string text;
    std::string end;  // "\r\n", "\n" or "" for a last line without an end
};

std::vector<Line> ReadLines(const std::string& file, bool& exists) {
    std::ifstream in(file, std::ios::binary);
    exists = bool(in);
    std::vector<Line> lines;
    if (!in) return lines;
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string all = buffer.str();
    std::size_t pos = 0;
    while (pos < all.size()) {
        const auto nl = all.find('\n', pos);
        if (nl == std::string::npos) {
            lines.push_back({all.substr(pos), ""});
            break;
        }
        std::string text = all.substr(pos, nl - pos);
        std::string end = "\n";
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
            end = "\r\n";
        }
        lines.push_back({std::move(text), std::move(end)});
        pos = nl + 1;
    }
    return lines;
}

// The section named by a "[name]" line, or nullptr-like false.
bool SectionName(const std::string& text, std::string& name) {
    const std::string t = Trim(text);
    if (t.size() < 2 || t.front() != '[') return false;
    const auto close = t.find(']');
    if (close == std::string::npos) return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

bool KeyLine(const std::string& text, std::string& key, std::string& value) {
    const auto eq = text.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(text.substr(0, eq));
    value = Trim(text.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return !key.empty() && key.front() != ';' && key.front() != '#';
}

}  // namespace

std::string readIniValue(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& def) {
    constexpr std::size_t limit = 1023;
    bool exists = false;
    const auto lines = ReadLines(file, exists);
    bool inSection = false;
    for (const auto& line : lines) {
        std::string name, k, v;
        if (SectionName(line.text, name)) {
            inSection = SameName(name, section);
        } else if (inSection && KeyLine(line.text, k, v) && SameName(k, key)) {
            return v.substr(0, limit);
        }
    }
    return def.substr(0, limit);
}

std::vector<std::pair<std::string, std::string>> readIniSection(const std::string& file, const std::string& section) {
    bool exists = false;
    std::vector<std::pair<std::string, std::string>> keys;
    bool inSection = false;
    for (const auto& line : ReadLines(file, exists)) {
        std::string name, k, v;
        if (SectionName(line.text, name)) inSection = SameName(name, section);
        else if (inSection && KeyLine(line.text, k, v)) keys.emplace_back(k, v.substr(0, 1023));
    }
    return keys;
}

void writeIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    bool exists = false;
    auto lines = ReadLines(file, exists);
    std::string eol = "\r\n";
    for (const auto& line : lines)
        if (!line.end.empty()) { eol = line.end; break; }

    const Line newLine{key + "=" + value, eol};
    int sectionStart = -1, lastInSection = -1;
    bool replaced = false;
    for (int i = 0; i < int(lines.size()) && !replaced; ++i) {
        std::string name, k, v;
        if (SectionName(lines[i].text, name)) {
            if (sectionStart >= 0) break;  // the section ended
            if (SameName(name, section)) sectionStart = lastInSection = i;
        } else if (sectionStart >= 0) {
            if (KeyLine(lines[i].text, k, v) && SameName(k, key)) {
                lines[i].text = newLine.text;
                replaced = true;
            } else if (!Trim(lines[i].text).empty()) {
                lastInSection = i;
            }
        }
    }
    if (!lines.empty() && lines.back().end.empty()) lines.back().end = eol;
    if (!replaced) {
        if (sectionStart >= 0) {
            lines.insert(lines.begin() + lastInSection + 1, newLine);
        } else {
            lines.push_back({"[" + section + "]", eol});
            lines.push_back(newLine);
        }
    }

    std::string content;
    for (const auto& line : lines) content += line.text + line.end;
    replaceFileContent(file, content);
}

}  // namespace k7
