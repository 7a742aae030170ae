#pragma once
// Print Screen: the key-string list beside the status log, one row each on paper.
#include <string>
#include <vector>

#include "ui/platform.h"

namespace k7 {

// What heads the page, so that a printout can be filed: the program and its version,
// when it was printed, the .cfg file and the port with its settings.
struct PrintTitle {
    std::string program, printedAt, file, port;
};

// A title, headings over the two columns, then row i: list entry i (blanks trimmed, padded
// to a column of 34, then a TAB) and log line i; rows with neither are left out, every other
// row is printed. A cancelled print dialog shows "Printing cancelled", a printer failure
// "Printing failed - " and its description; what reached the printer before a failure still
// comes out. True when the whole document went to the printer.
bool printListAndLog(Printer& printer, Dialogs& dialogs, const PrintTitle& title,
                     const std::vector<std::string>& entries, const std::vector<std::string>& log);

}  // namespace k7
