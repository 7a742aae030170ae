#include "settings/modINI.h"

#include "platform/runtime_error.h"
#include "settings/profile.h"

namespace k7 {

std::string ReadINI(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& def) {
    return GetPrivateProfileString(section, key, def, 1024, file);
}

long WriteINI(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
    return WritePrivateProfileString(section, key, value, file) ? 1 : 0;
}

std::string PortDeviceName(const std::string& settingsFile, int portNumber) {
    if (portNumber < 1) throw RuntimeError("Invalid port number");
    const std::string comName = "COM" + std::to_string(portNumber);
#ifdef _WIN32
    const std::string fallback = comName;
#else
    const std::string fallback = "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
    return ReadINI(settingsFile, "PORTS", comName, fallback);
}

}  // namespace k7
