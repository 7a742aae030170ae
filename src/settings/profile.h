#pragma once
// Profile files (INI): "[section]" lines, then "key=value" lines. Section and key
// names compare without regard to letter case. A write replaces the value in place,
// creates the file, the section or the key when missing, and keeps every other line
// of the file byte for byte.
#include <string>

namespace k7 {

// The value of section/key, cut to `size` - 1 characters, or `def` when the file,
// section or key is missing. Returns the number of characters copied.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, std::size_t size, const std::string& file);

// Returns false when the file could not be written; the old file then stays as it was.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file);

}  // namespace k7
