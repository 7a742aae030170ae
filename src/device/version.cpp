// The code-version query.
#include "shell/form1.h"

namespace k7 {

void Form1::GetVersionBtn_Click() {
    MatchString.setVisible(false);
    MatchImage.setVisible(false);
    if (clrstat.checked()) StatusBox.clear();
    Delay(200);
    ShowCodeVersion();
    if (MSComm1.isOpen()) MSComm1.close();
}

void Form1::ShowCodeVersion() {
    const std::string version = GetCodeVersion();
    StatusBox.clear();
    Add2Status("Requesting Version");
    Add2Status("Version = " + version);
}

}  // namespace k7
