// .cfg files: reading any bytes fails only line by line; entries written then read come
// back as they were, less those without a legend.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "cfgfile/cfg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    if (k7::readCfgFile(in).readError) std::abort();
    // Entries from the input's lines, legend TAB string, less what a line cannot carry:
    // TAB inside a field, line ends. Blanks at the end come back as groups.
    std::vector<k7::KeyString> entries, expected;
    std::istringstream lines(input);
    for (std::string line; std::getline(lines, line) && entries.size() < 100;) {
        k7::KeyString entry;
        const std::size_t tab = line.find('\t');
        for (char c : line.substr(0, tab))
            if (c != '\r') entry.legend += c;
        for (char c : tab == std::string::npos ? "" : line.substr(tab + 1))
            if (c != '\r' && c != '\t') entry.notation += c;
        entries.push_back(entry);
        const std::size_t blanks = entry.notation.size() - (entry.notation.find_last_not_of(' ') + 1);
        entry.notation.resize(entry.notation.size() - blanks);
        for (std::size_t i = 0; i < blanks; ++i) entry.notation += "{20}";
        if (!entry.legend.empty()) expected.push_back(entry);
    }
    std::istringstream written(k7::cfgFileText(entries, "12/6/2026 7:30:00 AM"));
    const k7::CfgContent back = k7::readCfgFile(written);
    if (back.entries != expected || !back.lineErrors.empty() || back.readError) std::abort();
    return 0;
}
