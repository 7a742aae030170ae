// Handlers whose concern is still being built. Each moves to its own folder when done.
#include "shell/form1.h"

namespace k7 {

// ---- shell: dialog, help, printing ----
void Form1::Config_Click() {}
void Form1::ShowHelpPane() {}
void Form1::ShowHelpPage(const std::string&) {}
void Form1::CloseHelp_Click() {}
void Form1::prscr_Click() {}

}  // namespace k7
