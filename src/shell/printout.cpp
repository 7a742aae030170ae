#include "shell/printout.h"

#include <algorithm>

namespace k7 {
namespace {

constexpr std::size_t kPrintColumn = 34;  // width of the list column on paper

std::string padded(std::string text) {
    if (text.size() < kPrintColumn) text.append(kPrintColumn - text.size(), ' ');
    return text + '\t';
}

std::string trimBlanks(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool printListAndLog(Printer& printer, Dialogs& dialogs, const PrintTitle& title,
                     const std::vector<std::string>& entries, const std::vector<std::string>& log) {
    bool printed = false;
    try {
        if (!printer.choose()) {
            dialogs.message("Printing cancelled");
            return false;
        }
        printed = true;
        for (const std::string& line : {title.program + "   printed " + title.printedAt,
                                        "Config file: " + title.file + "   Port: " + title.port, std::string(),
                                        padded("Custom Key Strings") + "Communication Details"})
            printer.printLine(line);
        for (std::size_t i = 0; i < std::max(entries.size(), log.size()); ++i) {
            std::string entry = i < entries.size() ? trimBlanks(entries[i]) : "";
            const std::string status = i < log.size() ? log[i] : "";
            if (entry.empty() && trimBlanks(status).empty()) continue;
            printer.printLine(padded(entry) + status);
        }
        printer.endDoc();
        return true;
    } catch (const std::exception& e) {
        dialogs.message(std::string("Printing failed - ") + e.what());
        if (printed) {
            try {
                printer.endDoc();
            } catch (const std::exception&) {
            }
        }
        return false;
    }
}

}  // namespace k7
