#pragma once
// Helpers for the device operations on virtual time against the in-process emulator.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/rig.h"

namespace k7::test {

using Image = std::array<std::uint8_t, 1024>;
using Slots = std::vector<std::pair<int, std::string>>;  // row -> bytes, 0x00 after them

// The default image with the given slots changed.
inline Image Flash(const Slots& slots) {
    Image image = Korven7Emulator::DefaultImage();
    for (const auto& [row, bytes] : slots)
        for (std::size_t i = 0; i < 10; ++i) image[std::size_t(row) * 10 + i] = i < bytes.size() ? bytes[i] : 0;
    return image;
}

// The frames the device received with this command letter.
inline std::vector<std::string> FramesOf(const Korven7Emulator& device, char letter) {
    std::vector<std::string> out;
    for (const auto& f : device.frames())
        if (f.size() > 1 && f[1] == letter) out.push_back(f);
    return out;
}

inline bool Logged(const std::vector<std::string>& log, const std::string& line) {
    return std::find(log.begin(), log.end(), line) != log.end();
}

inline int CountLogged(const std::vector<std::string>& log, const std::string& prefix) {
    return int(std::count_if(log.begin(), log.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

// After an operation: every control EnableButtons switches is enabled again and the port is closed.
inline bool Idle(Rig& rig) {
    for (const char* name : {"AddToList", "SendKeys", "VerifyBtn", "ReadKeys", "GetVersionBtn", "KeyString", "KbdKey"})
        if (!rig.ui.control(name).enabled()) return false;
    return !rig.port.isOpen();
}

// The verdict picture is shown and is the named file.
inline bool Shows(Rig& rig, const std::string& picture) {
    return rig.picture().visible() && rig.picture().loadedPath().find(picture) != std::string::npos;
}

}  // namespace k7::test
