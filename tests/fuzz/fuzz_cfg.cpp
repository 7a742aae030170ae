// .cfg files: reading any bytes fails only line by line; entries written then read come
// back as they were, less those without a legend and the repeats of a key.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "cfgfile/cfg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    if (k7::readCfgFile(in).readError) std::abort();
    // Entries from the input's lines: the first byte picks a key (some have no legend), the
    // rest is the string, less what a line cannot carry: TAB, line ends. Blanks at the end
    // come back as groups.
    static const k7::KeyTable keys = k7::defaultKeyTable();
    std::vector<k7::KeyString> entries, expected;
    std::set<std::string> legends;
    std::size_t repeats = 0;
    std::istringstream lines(input);
    for (std::string line; std::getline(lines, line) && entries.size() < 100;) {
        k7::KeyString entry{keys[std::uint8_t(line.empty() ? 0 : line[0]) % k7::kKeyRows].legend, ""};
        for (char c : line.empty() ? "" : line.substr(1))
            if (c != '\r' && c != '\t') entry.notation += c;
        entries.push_back(entry);
        const std::size_t blanks = entry.notation.size() - (entry.notation.find_last_not_of(' ') + 1);
        entry.notation.resize(entry.notation.size() - blanks);
        for (std::size_t i = 0; i < blanks; ++i) entry.notation += "{20}";
        if (entry.legend.empty()) continue;
        if (legends.insert(entry.legend).second) expected.push_back(entry);
        else ++repeats;
    }
    std::istringstream written(k7::cfgFileText(entries, "12/6/2026 7:30:00 AM"));
    const k7::CfgContent back = k7::readCfgFile(written);
    if (back.entries != expected || back.notLoaded.size() != repeats || back.readError) std::abort();
    return 0;
}
