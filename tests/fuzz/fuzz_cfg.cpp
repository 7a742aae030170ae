// .cfg files: reading any bytes fails only line by line; entries written then read come
// back as they were, every key included (a string the keyboard cannot take is left out on
// reading, so such a line stands as an empty string here).
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "cfgfile/cfg_file.h"
#include "keystrings/string_field_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    if (k7::readCfgFile(in).readError) std::abort();
    // One entry per key in row order, each line of the input its string, less what a line
    // cannot carry as it is: TAB, line ends, blanks at its end.
    static const k7::KeyTable keys = k7::defaultKeyTable();
    std::vector<k7::KeyString> entries;
    std::istringstream lines(input);
    for (std::string line; std::getline(lines, line) && entries.size() < std::size_t(k7::kKeyRows);) {
        k7::KeyString entry{keys[entries.size()].legend, ""};
        for (char c : line)
            if (c != '\r' && c != '\t') entry.notation += c;
        while (!entry.notation.empty() && entry.notation.back() == ' ') entry.notation.pop_back();
        if (!k7::stringRefusal(entry.notation).empty()) entry.notation.clear();
        entries.push_back(entry);
    }
    std::istringstream written(k7::cfgFileText(entries, "12/6/2026 7:30:00 AM"));
    const k7::CfgContent back = k7::readCfgFile(written);
    if (back.entries != entries || !back.notLoaded.empty() || back.readError) std::abort();
    return 0;
}
