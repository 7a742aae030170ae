#pragma once
// The communication-settings dialog: port, baud rate and parity, and whether a send
// backs the keyboard up first. SAVE stores the choice in the settings file (one write),
// hands it to `apply` (also when it could not be stored, which is reported: the choice is
// in force for this run), pauses so the user sees it arrive on the main window, and
// closes; CLOSE changes nothing. Find KORVEN7 looks for the device on
// the ports and rates offered (PortPicker).
#include <functional>
#include <memory>
#include <optional>

#include "settings/serial_settings.h"
#include "shell/port_picker.h"
#include "ui/platform.h"

namespace k7 {

class SettingsDialog {
public:
    SettingsDialog(Platform& platform, SettingsFile& settingsFile, const ProgramSettings& current,
                   std::function<void(const ProgramSettings&)> apply);

    // Modal; the saved settings, or nothing when the dialog was closed without saving.
    std::optional<ProgramSettings> run();

private:
    void save();
    void find();
    // The rate and parity the lists show; nothing when a list has no selection.
    std::optional<int> chosenBaud() const;
    std::optional<char> chosenParity() const;

    Platform& platform_;
    SettingsFile& settingsFile_;
    ProgramSettings current_;
    std::function<void(const ProgramSettings&)> apply_;
    std::unique_ptr<DialogWindow> window_;
    PortPicker ports_;
    ComboBox& baudList_;
    ComboBox& parityList_;
    CheckBox& backupFirst_;
    std::optional<ProgramSettings> saved_;
};

}  // namespace k7
