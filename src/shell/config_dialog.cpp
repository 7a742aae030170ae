// The communication-settings dialog and the Configuration menu item that opens it.
#include "shell/config_dialog.h"

#include <cmath>

#include "platform/runtime_error.h"
#include "settings/modINI.h"
#include "settings/numbers.h"
#include "shell/form1.h"
#include "shell/form1_design.h"

namespace k7 {

namespace {
constexpr int kPorts = 8;
const char* const kBaudTexts[] = {"1200", "4800", "9600", "19.2k", "38.4k", "57.6k"};
const char* const kParityTexts[] = {"NONE", "EVEN", "ODD"};
constexpr int kSavePauseMs = 700;

// Adds the texts to the list and selects the first whose first `n` characters equal
// those of `current`; no selection when none does.
template <std::size_t Count>
void FillAndSelect(ComboBox& box, const char* const (&texts)[Count], const std::string& current,
                   std::size_t n) {
    int match = -1;
    for (std::size_t i = 0; i < Count; ++i) {
        box.addItem(texts[i]);
        if (match < 0 && std::string(texts[i]).substr(0, n) == current.substr(0, n)) match = int(i);
    }
    box.setCurrentIndex(match);
}
}  // namespace

std::string BaudDigits(const std::string& listText) {
    if (listText.find('k') == std::string::npos) return listText;
    std::string number;
    for (char c : listText)
        if (c != 'k') number += c;
    const auto value = ParseNumber(number);
    if (!value) throw RuntimeError(kTypeMismatch);
    return std::to_string(static_cast<long long>(std::nearbyint(*value * 1000)));
}

void Form1::Config_Click() {
    ConfigurationDialog dialog(*this, platform.createDialog(ConfigurationDesign()));
    dialog.Form_Load();
    dialog.Show();
}

ConfigurationDialog::ConfigurationDialog(Form1& form, std::unique_ptr<DialogWindow> window)
    : form_(form),
      window_(std::move(window)),
      cboPort(window_->get<ComboBox>("cboPort")),
      cboBaud(window_->get<ComboBox>("cboBaud")),
      cboParity(window_->get<ComboBox>("cboParity")),
      SettingsTimer(window_->timer("SettingsTimer")) {
    SettingsTimer.setEnabled(false);
    window_->get<Button>("ConfigSave").onClick = [this] { ConfigSave_Click(); };
    window_->get<Button>("ConfigAbort").onClick = [this] { ConfigAbort_Click(); };
    SettingsTimer.onTick = [this] { SettingsTimer_Timer(); };
}

void ConfigurationDialog::Form_Load() {
    for (int n = 1; n <= kPorts; ++n) cboPort.addItem("COM" + std::to_string(n));
    // A hand-edited port number without an entry shows no selection.
    const int port = form_.PortNumber;
    cboPort.setCurrentIndex(port >= 1 && port <= kPorts ? port - 1 : -1);

    FillAndSelect(cboBaud, kBaudTexts, form_.BaudSetting, 2);
    FillAndSelect(cboParity, kParityTexts, form_.ParitySetting, 1);
}

void ConfigurationDialog::Show() { window_->showModal(); }

void ConfigurationDialog::ConfigSave_Click() {
    try {
        form_.PortNumber = static_cast<std::int16_t>(cboPort.currentIndex() + 1);
        form_.BaudSetting = BaudDigits(cboBaud.currentText());
        form_.ParitySetting = cboParity.currentText().substr(0, 1);

        const std::string file = form_.platform.env.settingsFileName();
        WriteINI(file, "COMSETTINGS", "PORT", std::to_string(form_.PortNumber));
        WriteINI(file, "COMSETTINGS", "BAUD", form_.BaudSetting);
        WriteINI(file, "COMSETTINGS", "PARITY", form_.ParitySetting);
        WriteINI(file, "GENERAL", "ENABLESTRINGS", std::to_string(form_.EnableStrings));

        form_.SetupCommPort();

        // A short pause so the user sees the new settings arrive on the main window.
        SettingsTimer.setInterval(kSavePauseMs);
        SettingsTimer.setEnabled(true);
        while (SettingsTimer.enabled()) form_.pump.waitEvents();

        window_->close();
    } catch (const std::exception& e) {
        form_.dialogs.message(std::string("Error saving configuration - ") + e.what());
    }
}

void ConfigurationDialog::ConfigAbort_Click() { window_->close(); }

void ConfigurationDialog::SettingsTimer_Timer() { SettingsTimer.setEnabled(false); }

}  // namespace k7
