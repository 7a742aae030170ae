#pragma once
// Key-string configuration files (.cfg): 8-bit text, every byte kept, CR LF line ends.
//
//   #Quimbrell KORVEN7 configuration file
//   #File written <date and time>
//   <empty line>
//   001<TAB>legend<TAB>output string
//   ...
//
// The reader skips blank lines and "#" comments anywhere, strips blanks (not TABs)
// around each line and accepts LF-only line ends.
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace k7 {

// The whole file for the list entries ("legend<TAB>string"), in list order. Entries with
// an empty legend are left out; their positions still count in the numbering.
std::string CfgFileText(const std::vector<std::string>& entries, const std::string& writtenAt);

// Reads the next line without its line end. False at the end of the file; throws
// RuntimeError when the stream fails while reading.
bool ReadCfgLine(std::istream& in, std::string& line);

// The TAB-separated fields of one line, or none for a blank or comment line.
std::vector<std::string> CfgLineFields(const std::string& line);

// The list entry a line's fields stand for: the number field must be a number of at
// most 100 and three fields are needed; nullopt when the line holds no entry. A number
// below -32768 throws RuntimeError(kOverflow).
std::optional<std::string> ParseCfgFields(const std::vector<std::string>& CfgFields);

}  // namespace k7
