// Handlers whose concern is still being built. Each moves to its own folder when done.
#include "shell/form1.h"

namespace k7 {

// ---- keystrings ----
void Form1::KbdKey_GotFocus() {}
void Form1::KbdKey_KeyDown(int&) {}
void Form1::KbdKey_KeyPress(int&) {}
void Form1::KbdKey_KeyUp(int&) {}
void Form1::KeyString_Change() {}
void Form1::KeyString_KeyPress(int&) {}
void Form1::KeyString_DblClick() {}
void Form1::AddToList_Click() {}
void Form1::List1_DblClick() {}
void Form1::Label12_Click() {}
void Form1::ClearAll_Click() {}
void Form1::CheckKeyString() {}
std::string Form1::ASCIIit(const std::string& s, int) { return s; }

// ---- cfgfile ----
void Form1::FOpen_Click() {}
void Form1::FSave_Click() {}
void Form1::SaveAs_Click() {}

// ---- shell: dialog, help, printing ----
void Form1::Config_Click() {}
void Form1::ShowHelpPane() {}
void Form1::ShowHelpPage(const std::string&) {}
void Form1::CloseHelp_Click() {}
void Form1::prscr_Click() {}

}  // namespace k7
