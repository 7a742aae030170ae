#pragma once
// Settings files (INI): "[section]" lines, then "key=value" lines. Section and key
// names compare without regard to letter case. A write replaces the value in place,
// creates the file, the section or the key when missing, and keeps every other line
// of the file byte for byte.
#include <string>
#include <utility>
#include <vector>

namespace k7 {

// The value of section/key, cut to 1023 characters, or `def` when the file, section or
// key is missing.
std::string readIniValue(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& def);

// Every key of the section with its value, in the order of the file (cut like a read).
std::vector<std::pair<std::string, std::string>> readIniSection(const std::string& file, const std::string& section);

// Writes section/key through replaceFileContent; throws RuntimeError when the file cannot
// be written, and the old file then stays as it was.
void writeIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

}  // namespace k7
