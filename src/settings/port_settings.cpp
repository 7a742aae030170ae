// Start-up reading of the settings file, and the port set-up from the settings.
#include "platform/runtime_error.h"
#include "settings/modINI.h"
#include "settings/numbers.h"
#include "shell/form1.h"

namespace k7 {

void Form1::ReadSettings() {
    const std::string file = platform.env.settingsFileName();
    // A bad number is reported and that setting keeps its default; the rest of the
    // start-up still runs.
    auto readInt = [&](const char* section, const char* key, const char* def, std::int16_t& target) {
        try {
            target = ToInt16(ReadINI(file, section, key, def));
        } catch (const RuntimeError& e) {
            dialogs.message(std::string("Error detected - ") + e.what());
        }
    };
    readInt("COMSETTINGS", "PORT", "1", PortNumber);
    BaudSetting = ReadINI(file, "COMSETTINGS", "BAUD", "9600");
    ParitySetting = ReadINI(file, "COMSETTINGS", "PARITY", "N");
    readInt("GENERAL", "ENABLESTRINGS", "0", EnableStrings);
}

void Form1::SetupCommPort() {
    try {
        if (MSComm1.isOpen()) MSComm1.close();
        MSComm1.setPortName(PortDeviceName(platform.env.settingsFileName(), PortNumber));
        MSComm1.setSettings(BaudSetting + "," + ParitySetting + ",8,1");
        CommLabel.setCaption("COM" + std::to_string(PortNumber));
        BaudLabel.setCaption(BaudSetting);
        if (ParitySetting == "N") ParityLabel.setCaption("NONE");
        else if (ParitySetting == "E") ParityLabel.setCaption("EVEN");
        else if (ParitySetting == "O") ParityLabel.setCaption("ODD");
    } catch (const std::exception& e) {
        dialogs.message(std::string("Error setting up comm port - ") + e.what());
    }
}

}  // namespace k7
