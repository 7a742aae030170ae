// Handlers whose concern is still being built. Each moves to its own folder when done.
#include "shell/form1.h"

namespace k7 {

// ---- device ----
std::string Form1::GetACK(int) { return ""; }
void Form1::Delay(int) {}
std::string Form1::GetCodeVersion() { return ""; }
bool Form1::CheckAttachment() { return false; }
void Form1::AbortBrn_Click() {}
void Form1::ResponseTimer_Timer() {}
void Form1::DelayTimer_Timer() {}
void Form1::ApplyListToKeyTable() {}
void Form1::SendKeys_Click() {}
void Form1::ReadKeys_Click() {}
void Form1::VerifyBtn_Click() {}
void Form1::GetVersionBtn_Click() {}
void Form1::ShowCodeVersion() {}

}  // namespace k7
