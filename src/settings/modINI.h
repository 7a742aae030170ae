#pragma once
#include <string>

namespace k7 {

// Reads section/key from the settings file; `def` when missing. Values are cut to 1023 characters.
std::string ReadINI(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& def);

// Writes section/key; non-zero on success.
long WriteINI(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value);

// The device opened for port number n: the settings file's [PORTS] COMn when present,
// else COMn on Windows and /dev/ttyS{n-1} elsewhere. Throws RuntimeError for n < 1.
std::string PortDeviceName(const std::string& settingsFile, int portNumber);

}  // namespace k7
