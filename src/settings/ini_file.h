#pragma once
// Settings files (INI): "[section]" lines, then "key=value" lines. Section and key names
// compare without regard to letter case. A document is read once; a change replaces the
// value in place, or adds the section or the key when missing, and keeps every other line
// of the file byte for byte; it reaches the disk in one write.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace k7 {

class IniDocument {
public:
    IniDocument() = default;
    // The file's lines; a file that cannot be read gives an empty document.
    static IniDocument read(const std::string& file);

    // The value of section/key, cut to 1023 characters; nullopt when missing.
    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    // Every key of the section with its value, in the order of the file (cut like a value).
    std::vector<std::pair<std::string, std::string>> section(const std::string& section) const;
    void set(const std::string& section, const std::string& key, const std::string& value);

    // Writes the document through replaceFileContent; throws RuntimeError when the file
    // cannot be written, and the old file then stays as it was.
    void write(const std::string& file) const;

private:
    // One line of the file, with its line end kept apart so the file can be rewritten exactly.
    struct Line {
        std::string text;
        std::string end;  // "\r\n", "\n" or "" for a last line without an end
    };
    std::vector<Line> lines_;
};

// One value of a file, for a look without keeping the document: `def` when missing.
std::string readIniValue(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& def);
// One value written into a file, the rest of it kept.
void writeIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

}  // namespace k7
