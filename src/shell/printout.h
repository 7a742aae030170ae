#pragma once
// Print Screen: the key-string list beside the status log, one row each on paper.
#include <string>
#include <vector>

#include "ui/platform.h"

namespace k7 {

// Row i holds list entry i (blanks trimmed, padded to a column of 34, then a TAB) and log
// line i; rows with neither are left out, every other row is printed. A cancelled print
// dialog shows "Printing cancelled", a printer failure "Printing failed - " and its
// description; what reached the printer before a failure still comes out.
void printListAndLog(Printer& printer, Dialogs& dialogs, const std::vector<std::string>& entries,
                     const std::vector<std::string>& log);

}  // namespace k7
