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
// around each line and accepts LF-only line ends. Every other line that gives the list no
// entry is named in the content's notLoaded.
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "keystrings/key_string_list.h"

namespace k7 {

// The whole file for the list's entries, in list order. Entries with an empty legend are
// left out; their positions still count in the numbering. In a string, a TAB, a line feed
// and the blanks at its end are written as {09}, {0A} and {20}, so it reads back whole.
std::string cfgFileText(const std::vector<KeyString>& entries, const std::string& writtenAt);

// No list comes near this size: 100 entries of a key name and ten bytes in groups take
// some 6 KB. A larger file is refused before it is read any further.
inline constexpr std::size_t kLargestCfgFile = 1 << 20;

struct CfgContent {
    std::vector<KeyString> entries;        // one per key, in file order
    std::vector<int> entryLines;           // the line of each entry, counting from 1
    std::vector<std::string> notLoaded;    // each line that gave no entry, by number, and why
    std::vector<int> notLoadedLines;       // their line numbers
    // The stream failed (the entries before it are kept) or is larger than any list.
    std::optional<std::string> readError;
};

// Reads the entries of a file. A line is an entry when its first field is a number of at
// most 100 and at least -32768 and it has three fields (a fourth and more are ignored); the
// entry is taken when its legend names a key that no earlier entry named.
CfgContent readCfgFile(std::istream& in);

// One text that counts the lines that gave no entry and names the first few; "" when
// every line was loaded.
std::string notLoadedReport(const CfgContent& content);

}  // namespace k7
