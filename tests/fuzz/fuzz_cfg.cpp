// .cfg files: reading any bytes never fails except through its own errors, and a list
// written then read comes back entry for entry.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cfgfile/cfg_format.h"
#include "platform/runtime_error.h"

namespace {

std::vector<std::string> ReadEntries(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> entries;
    std::string line;
    while (k7::ReadCfgLine(in, line)) {
        const auto fields = k7::CfgLineFields(line);
        if (fields.size() < 2) continue;
        try {
            if (auto entry = k7::ParseCfgFields(fields)) entries.push_back(*entry);
        } catch (const k7::RuntimeError&) {
            // a number below the 16-bit range: that line is skipped
        }
    }
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    ReadEntries(input);

    // Entries made from the input: a legend and a string per line, cut where the file
    // format cannot carry them (TAB, line ends, blanks at the end of the line).
    std::vector<std::string> entries;
    std::istringstream lines(input);
    std::string raw;
    while (std::getline(lines, raw) && entries.size() < 100) {
        std::string legend, text;
        bool inText = false;
        for (char c : raw) {
            if (c == '\r' || c == '\n' || c == '\0') continue;
            if (c == '\t') { if (inText) continue; inText = true; continue; }
            (inText ? text : legend) += c;
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        if (legend.empty() || (text.empty() && legend.back() == ' ')) continue;
        entries.push_back(legend + "\t" + text);
    }
    if (ReadEntries(k7::CfgFileText(entries, "12/6/2026 7:30:00 AM")) != entries) std::abort();
    return 0;
}
