// The help pane and the printout of the key-string list beside the status log.
#include <algorithm>

#include "platform/runtime_error.h"
#include "shell/form1.h"
#include "shell/help_print.h"

namespace k7 {

namespace {
constexpr int kPrintColumn = 34;  // width of the list column on paper
constexpr int kLastPrintedRow = 300;

std::string TrimBlanks(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}
}  // namespace

std::string padtab(const std::string& s, std::int16_t width) {
    std::string padded = s;
    if (int(padded.size()) < width) padded.append(std::size_t(width) - padded.size(), ' ');
    return padded + '\t';
}

void Form1::ShowHelpPane() {
    // Sized from the window as it is now; a later resize leaves the pane alone.
    const Window& w = ui.window();
    WebBrowser1.setGeometry({150, 1500, std::max(0, w.outerWidth() - 300), std::max(0, w.outerHeight() - 2500)});
    WebBrowser1.setVisible(true);
    WebBrowser1.raise();  // over the list frame and the log it covers
    Hclose.setVisible(true);
    Hclose.raise();
}

void Form1::ShowHelpPage(const std::string& page) {
    ShowHelpPane();
    WebBrowser1.navigate(ProgramFile(page));
}

void Form1::CloseHelp_Click() {
    WebBrowser1.setVisible(false);
    Hclose.setVisible(false);
}

void Form1::prscr_Click() {
    Printer& printer = platform.printer;
    bool printed = false;
    try {
        if (!printer.choose()) throw RuntimeError("Cancel was selected.");
        // Row i holds entry i of the list and line i of the status log side by side.
        for (int i = 0; i <= kLastPrintedRow; ++i) {
            const std::string entry = i < List1.count() ? TrimBlanks(List1.item(i)) : "";
            const std::string status = i < StatusBox.count() ? StatusBox.item(i) : "";
            if (entry.empty() && TrimBlanks(status).empty()) continue;
            printer.printLine(padtab(entry, kPrintColumn) + status);
            printed = true;
        }
        printer.endDoc();
    } catch (const std::exception&) {
        dialogs.message("Printing cancelled");
        // What reached the printer before the failure still comes out.
        if (printed) {
            try {
                printer.endDoc();
            } catch (const std::exception&) {
            }
        }
    }
}

}  // namespace k7
