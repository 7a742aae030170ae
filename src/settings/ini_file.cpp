#include "settings/ini_file.h"

#include <fstream>
#include <sstream>

#include "platform/disk_file_store.h"

namespace k7 {
namespace {

constexpr std::size_t kValueLimit = 1023;

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

// The section named by a "[name]" line.
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

IniDocument IniDocument::read(const std::string& file) {
    IniDocument doc;
    std::ifstream in(file, std::ios::binary);
    if (!in) return doc;
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string all = buffer.str();
    std::size_t pos = 0;
    while (pos < all.size()) {
        const auto nl = all.find('\n', pos);
        if (nl == std::string::npos) {
            doc.lines_.push_back({all.substr(pos), ""});
            break;
        }
        std::string text = all.substr(pos, nl - pos);
        std::string end = "\n";
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
            end = "\r\n";
        }
        doc.lines_.push_back({std::move(text), std::move(end)});
        pos = nl + 1;
    }
    return doc;
}

std::optional<std::string> IniDocument::value(const std::string& section, const std::string& key) const {
    for (const auto& [k, v] : this->section(section))
        if (SameName(k, key)) return v;
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> IniDocument::section(const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> keys;
    bool inSection = false;
    for (const Line& line : lines_) {
        std::string name, k, v;
        if (SectionName(line.text, name)) inSection = SameName(name, section);
        else if (inSection && KeyLine(line.text, k, v)) keys.emplace_back(k, v.substr(0, kValueLimit));
    }
    return keys;
}

void IniDocument::set(const std::string& section, const std::string& key, const std::string& value) {
    std::string eol = "\r\n";
    for (const Line& line : lines_)
        if (!line.end.empty()) {
            eol = line.end;
            break;
        }
    if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = eol;
    const Line newLine{key + "=" + value, eol};
    int sectionStart = -1, lastInSection = -1;
    for (int i = 0; i < int(lines_.size()); ++i) {
        std::string name, k, v;
        if (SectionName(lines_[i].text, name)) {
            if (sectionStart >= 0) break;  // the section ended
            if (SameName(name, section)) sectionStart = lastInSection = i;
        } else if (sectionStart >= 0) {
            if (KeyLine(lines_[i].text, k, v) && SameName(k, key)) {
                lines_[i].text = newLine.text;
                return;
            }
            if (!Trim(lines_[i].text).empty()) lastInSection = i;
        }
    }
    if (sectionStart >= 0) {
        lines_.insert(lines_.begin() + lastInSection + 1, newLine);
    } else {
        lines_.push_back({"[" + section + "]", eol});
        lines_.push_back(newLine);
    }
}

void IniDocument::write(const std::string& file) const {
    std::string content;
    for (const Line& line : lines_) content += line.text + line.end;
    replaceFileContent(file, content);
}

std::string readIniValue(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& def) {
    return IniDocument::read(file).value(section, key).value_or(def.substr(0, kValueLimit));
}

void writeIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    IniDocument doc = IniDocument::read(file);
    doc.set(section, key, value);
    doc.write(file);
}

}  // namespace k7
